#pragma once
// PDF output of a print job (libharu), one PDF page per book page, built as the pages end and
// saved by Fechar().
//
// Geometry: 160 columns at 20 cpi (column c at x = margin + (c-1) * 3.6 pt) and lines at the
// job's spacing (1/6 in = 12 pt or 1/8 in = 9 pt), with 0.25 in margins all round. Both page
// lengths give 8 in x 11 in of print, so every page is 8.5 x 11.5 in (612 x 828 pt): slightly
// taller than Letter, which keeps the book's grid exact instead of squeezing it.
// Fonts: base-14 Courier / Courier-Bold (not embedded), WinAnsiEncoding. Condensed or unspecified
// texts use 6 pt (Courier advances 0.6 em: 3.6 pt = 1/20 in); texts in Normal or Negrito are
// drawn at 12 pt (10 cpi, double width) around the same centre point, Expandido doubles again.
// Each text is drawn as the grid shows it (pieces covered by later texts left out).
// Text is converted from UTF-8 to CP1252; characters CP1252 lacks are printed as '?'.
#include <string>
#include <string_view>

#include <hpdf.h>

namespace impressao {

class TPagina;

std::string ParaCp1252(std::string_view utf8);

class TSaidaPdf {
 public:
  TSaidaPdf() = default;
  TSaidaPdf(const TSaidaPdf&) = delete;
  TSaidaPdf& operator=(const TSaidaPdf&) = delete;
  ~TSaidaPdf();

  // Creates (truncates) the file and starts the document; false when it cannot be created.
  bool Abrir(const std::string& caminho);
  void Pagina(const TPagina& pagina, int linhasPorPolegada);
  // Saves the document. libharu errors surface as std::runtime_error.
  void Fechar();

 private:
  HPDF_Doc doc_ = nullptr;
  HPDF_Font courier_ = nullptr, courierNegrito_ = nullptr;
  std::string caminho_;
};

}  // namespace impressao
