#pragma once
// Draws a page of the book with Qt: the page's grid (160 columns by its 66 or 88 lines) stretched
// over a rectangle, every text placed by the layout rule the PDF output follows
// (host/impressao/disposicao.h), in a monospaced font scaled to its columns and never taller than
// a line. The preview draws on the screen with it and the printing on the printer's page.
#include <QFont>
#include <QRectF>
#include <vector>

class QPainter;

namespace impressao {
class TPagina;
}

// Cells to highlight: `tamanho` columns from (linha, coluna), 1-based.
struct TMarcaPagina {
  int linha = 0, coluna = 0, tamanho = 0;
};

class TDesenhoPagina {
 public:
  TDesenhoPagina();
  void Desenhar(QPainter& painter, const impressao::TPagina& pagina, const QRectF& grade,
                const std::vector<TMarcaPagina>& marcas = {}) const;
  // The rectangle of some cells of the grid drawn over `grade`.
  static QRectF Celulas(const impressao::TPagina& pagina, const QRectF& grade, const TMarcaPagina& marca);

 private:
  QFont normal_, negrito_;
  double avanco_;  // advance of one character at the fonts' drawing size
};
