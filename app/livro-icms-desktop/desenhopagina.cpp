#include "desenhopagina.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

#include "host/impressao/disposicao.h"
#include "host/impressao/pagina.h"

namespace {
// Glyphs are shaped at this size and scaled to their cells, so that a character's advance fits its
// columns exactly at any zoom (a whole-pixel font size would not).
constexpr int kTamanhoDesenho = 64;
}  // namespace

TDesenhoPagina::TDesenhoPagina() {
  normal_.setFamilies({"Courier New", "DejaVu Sans Mono", "Liberation Mono", "monospace"});
  normal_.setStyleHint(QFont::TypeWriter);
  normal_.setFixedPitch(true);
  normal_.setPixelSize(kTamanhoDesenho);
  negrito_ = normal_;
  negrito_.setBold(true);
  avanco_ = QFontMetricsF(normal_).horizontalAdvance(QChar('M'));
}

QRectF TDesenhoPagina::Celulas(const impressao::TPagina& pagina, const QRectF& grade, const TMarcaPagina& marca) {
  const double coluna = grade.width() / pagina.QteColunas(), linha = grade.height() / pagina.QteLinhas();
  return {grade.left() + (marca.coluna - 1) * coluna, grade.top() + (marca.linha - 1) * linha, marca.tamanho * coluna,
          linha};
}

void TDesenhoPagina::Desenhar(QPainter& painter, const impressao::TPagina& pagina, const QRectF& grade,
                              const std::vector<TMarcaPagina>& marcas) const {
  const double coluna = grade.width() / pagina.QteColunas(), linha = grade.height() / pagina.QteLinhas();
  for (const TMarcaPagina& m : marcas) painter.fillRect(Celulas(pagina, grade, m), QColor(255, 226, 80));
  painter.setPen(Qt::black);
  for (const impressao::TTrechoDesenhado& t : impressao::Disposicao(pagina)) {
    // As tall as the width allows, but never taller than the line; then stretched to the columns.
    const double larguraCaractere = t.largura * coluna;
    const double altura = std::min(larguraCaractere * kTamanhoDesenho / avanco_, linha);
    painter.save();
    painter.translate(grade.left() + t.coluna * coluna, grade.top() + (t.linha - 1) * linha + 0.8 * linha);
    painter.scale(larguraCaractere / avanco_, altura / kTamanhoDesenho);
    painter.setFont(t.negrito ? negrito_ : normal_);
    painter.drawText(QPointF(0, 0), QString::fromStdString(t.texto));
    painter.restore();
  }
}
