#pragma once
// Where the texts of a page are drawn on paper or on a screen, in units of the page's grid. The grid
// itself has one character per column; a text in a 10-cpi font (Normal or Negrito) draws each
// character over two columns and an expanded one (Expandido) over twice that, keeping the centre of
// the grid span the text occupies, so a centred title stays centred. Every drawing of a page (the
// PDF output, the desktop's preview and its printing) places the texts by this one rule.
#include <string>
#include <vector>

namespace impressao {

class TPagina;

struct TTrechoDesenhado {
  int linha = 0;           // 1-based
  double coluna = 0;       // left edge of the first character, in columns from the grid's left edge
  double largura = 1;      // columns one character takes: 1, 2 or 4
  bool negrito = false;
  std::string texto;       // the piece the grid shows (TPagina::Visivel), never empty
};

std::vector<TTrechoDesenhado> Disposicao(const TPagina& pagina);

}  // namespace impressao
