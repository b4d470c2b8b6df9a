#pragma once
// PDF output of a print job (libharu), one PDF page per book page, built as the pages end and
// saved by Fechar().
//
// Geometry: the book's grid (160 columns by 66 or 88 lines) fills the printable area of the
// paper. On A4 (595 x 842 pt) and Letter (612 x 792 pt) that area lies inside 10 mm margins, so
// a column is a little under 1/20 in and a line a little under 1/6 or 1/8 in; on the continuous
// form (9.5 x 11 in, 684 x 792 pt) the grid keeps the printer's own pitch, 1/20 in by 1/6 or
// 1/8 in, centred across the sheet.
// Fonts: a monospaced TrueType font of the system embedded in the document (DejaVu Sans Mono, or
// Liberation Mono: Debian's fonts-dejavu-core or fonts-liberation), so that an archived book reads
// the same anywhere; without either, base-14 Courier / Courier-Bold, which viewers substitute. Both
// with WinAnsiEncoding. Texts are placed by the
// page's layout rule (host/impressao/disposicao.h): condensed or unspecified texts are as large as
// one column allows (by the font's advance); texts in Normal or Negrito take two columns a
// character (10 cpi), Expandido four. No font box (its ascent over its descent) is taller than
// the line pitch: where the width would ask for more, the font keeps the size whose box fills the
// line and is stretched horizontally to its columns, so a wide title never reaches the line above
// or below.
// Each text is drawn as the grid shows it (pieces covered by later texts left out); texts of one line
// in the same font and pitch, a few blanks apart on the same grid of letters, are drawn as one.
// Text is converted from UTF-8 to CP1252; characters CP1252 lacks are printed as '?'.
// Each page's content is deflated as the page ends (libdeflate's fastest level), the fonts as the
// document is saved (libharu).
#include <bitset>
#include <string>
#include <string_view>
#include <vector>

#include <hpdf.h>

#include "host/impressao/informacoespdf.h"

struct libdeflate_compressor;

namespace impressao {

enum class TPapel;

class TPagina;

// The TrueType files tried for the PDF, regular and bold, in order.
struct TArquivosFonte {
  const char* normal;
  const char* negrito;
};
extern const TArquivosFonte kFontesPdf[2];

std::string ParaCp1252(std::string_view utf8);

class TSaidaPdf {
 public:
  explicit TSaidaPdf(TPapel papel);
  TSaidaPdf(const TSaidaPdf&) = delete;
  TSaidaPdf& operator=(const TSaidaPdf&) = delete;
  ~TSaidaPdf();

  // Starts the document for the scratch file `caminho` (host/impressao/substituicao.h); false
  // when it is not that file any more.
  bool Abrir(const std::string& caminho, const TInformacoesPdf& informacoes = {});
  // A page of 66 lines at 6 lines an inch, of 88 at 8 (what the continuous form's pitch follows).
  void Pagina(const TPagina& pagina);
  // Saves the document. libharu errors surface as std::runtime_error.
  void Fechar();

 private:
  // The texts of a page's text object, written straight into its content.
  class TTextoDaPagina {
   public:
    TTextoDaPagina() = default;
    explicit TTextoDaPagina(HPDF_Page pagina);
    void Escrever(HPDF_REAL x, HPDF_REAL y, const std::string& texto);

   private:
    HPDF_Stream conteudo_ = nullptr;
    HPDF_REAL x_ = 0, y_ = 0;  // where the last text began (the text object's start: 0, 0)
  };

  void MarcarCaracteres(bool negrito, std::string_view texto);
  void ComprimirConteudo(HPDF_Page pagina);

  HPDF_Doc doc_ = nullptr;
  TTextoDaPagina texto_;
  std::bitset<256> usados_[2];  // characters measured, regular and bold
  libdeflate_compressor* compressor_ = nullptr;
  std::string conteudo_;              // the page's content, as libharu and TTextoDaPagina wrote it
  std::vector<char> comprimido_;
  HPDF_Font fonte_ = nullptr, fonteNegrito_ = nullptr;
  double avanco_ = 0.6;  // the font's advance, in em
  int fd_ = -1;
  TPapel papel_;
};

}  // namespace impressao
