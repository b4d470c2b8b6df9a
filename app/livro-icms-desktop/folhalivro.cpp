#include "folhalivro.h"

#include <QPainter>

namespace {
constexpr double kMmPorPolegada = 25.4, kPontosTela = 96;
constexpr double kLarguraMm = 210, kAlturaMm = 297, kMargemMm = 10;
double Pixels(double mm) { return mm / kMmPorPolegada * kPontosTela; }
}  // namespace

TFolhaLivro::TFolhaLivro(QWidget* pai) : QWidget(pai) {
  setObjectName("folhaLivro");
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  resize(sizeHint());
}

QSizeF TFolhaLivro::TamanhoFolha() { return {Pixels(kLarguraMm), Pixels(kAlturaMm)}; }

void TFolhaLivro::SetPagina(const impressao::TPagina* pagina, std::vector<TMarcaPagina> marcas) {
  pagina_ = pagina;
  marcas_ = std::move(marcas);
  update();
}

void TFolhaLivro::SetZoom(double zoom) {
  zoom_ = zoom;
  resize(sizeHint());
  updateGeometry();
  update();
}

QSize TFolhaLivro::sizeHint() const { return (TamanhoFolha() * zoom_).toSize(); }

QRectF TFolhaLivro::Grade() const {
  const double m = Pixels(kMargemMm) * zoom_;
  return QRectF(QPointF(m, m), QPointF(width() - m, height() - m));
}

void TFolhaLivro::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.fillRect(rect(), Qt::white);
  painter.setPen(QColor(160, 160, 160));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  if (pagina_) desenho_.Desenhar(painter, *pagina_, Grade(), marcas_);
}
