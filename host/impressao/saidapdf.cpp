#include "host/impressao/saidapdf.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <cstdio>
#include <new>
#include <stdexcept>
#include <vector>

#include <hpdf_utils.h>
#include <libdeflate.h>
#include <unistd.h>

#include "host/base/texto.h"
#include "host/impressao/disposicao.h"
#include "host/impressao/motorimpressao.h"
#include "host/impressao/pagina.h"
#include "host/impressao/substituicao.h"

namespace impressao {

namespace {

constexpr double kPt = 72.0;             // points per inch
constexpr double kMargem = kPt * 10 / 25.4;  // 10 mm

// Where the grid lies on the sheet, in points.
struct TGeometria {
  double largura = 0, altura = 0;  // sheet
  double esquerda = 0, topo = 0;   // top-left corner of the grid, from the sheet's bottom-left
  double coluna = 0, linha = 0;    // pitch
};

TGeometria Geometria(TPapel papel, int qteLinhas, int qteColunas, int linhasPorPolegada) {
  TGeometria g;
  if (papel == TPapel::Formulario) {
    g.largura = 9.5 * kPt;
    g.altura = 11 * kPt;
    g.coluna = kPt / 20;
    g.linha = kPt / linhasPorPolegada;
    g.esquerda = (g.largura - qteColunas * g.coluna) / 2;
    g.topo = g.altura - (g.altura - qteLinhas * g.linha) / 2;
    return g;
  }
  g.largura = papel == TPapel::A4 ? 595.28 : 612;
  g.altura = papel == TPapel::A4 ? 841.89 : 792;
  g.coluna = (g.largura - 2 * kMargem) / qteColunas;
  g.linha = (g.altura - 2 * kMargem) / qteLinhas;
  g.esquerda = kMargem;
  g.topo = g.altura - kMargem;
  return g;
}

void ErroHpdf(HPDF_STATUS erro, HPDF_STATUS detalhe, void*) {
  char msg[96];
  std::snprintf(msg, sizeof msg, "erro na geração do PDF (libharu 0x%04X, detalhe %u)",
                static_cast<unsigned>(erro), static_cast<unsigned>(detalhe));
  throw std::runtime_error(msg);
}

char Cp1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  static constexpr char32_t k80a9F[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  for (unsigned i = 0; i < 32; ++i)
    if (k80a9F[i] == c) return static_cast<char>(0x80 + i);
  return '?';
}

bool Ascii(std::string_view t) {
  return std::all_of(t.begin(), t.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Pieces of one line in the same font and pitch that lie on the same character grid, a few blanks
// apart, drawn as one text with the blanks between them: each call of libharu's text placement
// costs more than a few blanks, and a monospaced font's blank advances exactly a character. Only
// ASCII is joined (the grid has no control characters), so no glyph of a substitute or missing
// character could shift what follows. `desenhar` gets the first piece of each group and the text.
constexpr double kBrancosJuntados = 32;  // past this many, a text of its own costs less

template <class F>
void PorLinha(const std::vector<TTrechoDesenhado>& trechos, int qteLinhas, F desenhar) {
  // By line (a count a line, then each line's pieces by column).
  std::vector<uint32_t> inicio(static_cast<size_t>(qteLinhas) + 2, 0), ordem(trechos.size());
  for (const TTrechoDesenhado& t : trechos) ++inicio[static_cast<size_t>(t.linha) + 1];
  for (size_t l = 1; l < inicio.size(); ++l) inicio[l] += inicio[l - 1];
  std::vector<uint32_t> proximo(inicio.begin(), inicio.end() - 1);
  for (uint32_t i = 0; i < trechos.size(); ++i) ordem[proximo[static_cast<size_t>(trechos[i].linha)]++] = i;
  for (size_t l = 0; l + 1 < inicio.size(); ++l)
    std::sort(ordem.begin() + inicio[l], ordem.begin() + inicio[l + 1], [&trechos](uint32_t a, uint32_t b) {
      return trechos[a].coluna != trechos[b].coluna ? trechos[a].coluna < trechos[b].coluna : a < b;
    });
  std::string texto;
  const TTrechoDesenhado* primeiro = nullptr;
  bool grupoAscii = false;
  double fim = 0;  // the column after the group's last character
  for (uint32_t i : ordem) {
    const TTrechoDesenhado& t = trechos[i];
    const bool ascii = Ascii(t.texto);
    if (primeiro && ascii && grupoAscii && t.linha == primeiro->linha && t.negrito == primeiro->negrito &&
        t.largura == primeiro->largura) {
      // Columns are whole or half columns, so this is exact in binary.
      const double brancos = (t.coluna - fim) / t.largura;
      if (brancos >= 0 && brancos <= kBrancosJuntados && brancos == static_cast<double>(static_cast<int>(brancos))) {
        texto.append(static_cast<size_t>(brancos), ' ');
        texto += t.texto;
        fim = t.coluna + static_cast<double>(t.texto.size()) * t.largura;
        continue;
      }
    }
    if (primeiro) desenhar(*primeiro, texto);
    primeiro = &t;
    grupoAscii = ascii;
    texto = t.texto;
    fim = t.coluna + static_cast<double>(t.texto.size()) * t.largura;
  }
  if (primeiro) desenhar(*primeiro, texto);
}

// libharu's stream writes return their errors (memory) instead of raising them.
void Exigir(bool escrito) {
  if (!escrito) throw std::runtime_error("erro na geração do PDF (memória esgotada)");
}

// What a page's content dictionary adds when its content is already deflated.
HPDF_STATUS FiltroFlate(HPDF_Dict, HPDF_Stream saida) { return HPDF_Stream_WriteStr(saida, "/Filter /FlateDecode\012"); }

}  // namespace

// libharu's TextOut, less what a page of monospaced texts does not need: the same "x y Td" from
// the last text's place and "(text) Tj" (libharu's own number and string writing, so the page's
// bytes are the ones TextOut writes), without measuring each text and clearing a scratch buffer
// for every number. Within one text object only: the font and scaling stay libharu's.
TSaidaPdf::TTextoDaPagina::TTextoDaPagina(HPDF_Page pagina)
    : conteudo_(static_cast<HPDF_PageAttr>(pagina->attr)->stream) {}

void TSaidaPdf::TTextoDaPagina::Escrever(HPDF_REAL x, HPDF_REAL y, const std::string& texto) {
  const HPDF_REAL dx = x - x_, dy = y - y_;
  x_ += dx;
  y_ += dy;
  // Two numbers of at most 12 characters each (sign and libharu's limits) and the operator.
  std::array<char, 32> mover;
  char* fim = HPDF_FToA(mover.data(), dx, &mover.back());
  *fim++ = ' ';
  fim = HPDF_FToA(fim, dy, &mover.back());
  constexpr std::string_view kMover = " Td\012";
  fim = std::copy(kMover.begin(), kMover.end(), fim);
  Exigir(HPDF_Stream_Write(conteudo_, reinterpret_cast<HPDF_BYTE*>(mover.data()),
                           static_cast<HPDF_UINT>(fim - mover.data())) == HPDF_OK &&
         HPDF_Stream_WriteEscapeText2(conteudo_, texto.data(), static_cast<HPDF_UINT>(texto.size())) == HPDF_OK &&
         HPDF_Stream_WriteStr(conteudo_, " Tj\012") == HPDF_OK);
}

// libharu would deflate every page as the document is saved, with zlib at its default level, most
// of a book's PDF time. Here the page's content is deflated as the page ends, at libdeflate's
// fastest level (a few times faster, for a file a few percent larger), put back in place of what
// was written and written as it is, its dictionary naming the filter.
void TSaidaPdf::ComprimirConteudo(HPDF_Page pagina) {
  auto* atributos = static_cast<HPDF_PageAttr>(pagina->attr);
  HPDF_Dict dicionario = atributos->contents;
  HPDF_Stream s = atributos->stream;
  conteudo_.clear();
  for (HPDF_UINT i = 0, n = HPDF_MemStream_GetBufCount(s); i < n; ++i) {
    HPDF_UINT tamanho;  // set by libharu
    const HPDF_BYTE* bloco = HPDF_MemStream_GetBufPtr(s, i, &tamanho);
    conteudo_.append(reinterpret_cast<const char*>(bloco), tamanho);
  }
  if (!compressor_ && !(compressor_ = libdeflate_alloc_compressor(1))) throw std::bad_alloc();
  comprimido_.resize(libdeflate_zlib_compress_bound(compressor_, conteudo_.size()));
  // Into a buffer of the bound's size the compression cannot fail.
  const size_t tamanho =
      libdeflate_zlib_compress(compressor_, conteudo_.data(), conteudo_.size(), comprimido_.data(), comprimido_.size());
  HPDF_MemStream_FreeData(s);
  Exigir(HPDF_Stream_Write(s, reinterpret_cast<const HPDF_BYTE*>(comprimido_.data()), static_cast<HPDF_UINT>(tamanho)) ==
         HPDF_OK);
  dicionario->filter = HPDF_STREAM_FILTER_NONE;
  dicionario->write_fn = FiltroFlate;
}

void TSaidaPdf::MarcarCaracteres(bool negrito, std::string_view texto) {
  // libharu embeds the glyphs of the characters it measured; measuring each character once is enough.
  std::bitset<256>& usados = usados_[negrito ? 1 : 0];
  std::string novos;
  for (char c : texto) {
    const auto b = static_cast<unsigned char>(c);
    if (usados[b]) continue;
    usados[b] = true;
    novos += c;
  }
  if (!novos.empty())
    HPDF_Font_TextWidth(negrito ? fonteNegrito_ : fonte_, reinterpret_cast<const HPDF_BYTE*>(novos.data()),
                        static_cast<HPDF_UINT>(novos.size()));
}

std::string ParaCp1252(std::string_view utf8) {
  if (Ascii(utf8)) return std::string(utf8);
  std::string r;
  for (char32_t c : texto::ParaU32(utf8)) r.push_back(Cp1252(c));
  return r;
}

TSaidaPdf::TSaidaPdf(TPapel papel) : papel_(papel) {}

TSaidaPdf::~TSaidaPdf() {
  if (doc_) HPDF_Free(doc_);
  if (compressor_) libdeflate_free_compressor(compressor_);
  if (fd_ >= 0) ::close(fd_);
}

const TArquivosFonte kFontesPdf[2] = {
    {"/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf"},
    {"/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf",
     "/usr/share/fonts/truetype/liberation/LiberationMono-Bold.ttf"}};

bool TSaidaPdf::Abrir(const std::string& caminho, const TInformacoesPdf& informacoes) {
  PontoDeFalha("criar o arquivo PDF");
  if (fd_ >= 0) ::close(fd_);
  fd_ = AbrirRascunho(caminho);
  if (fd_ < 0) return false;
  if (doc_) HPDF_Free(doc_);
  // A pool of blocks for the document's many small objects (a book has hundreds of pages of a
  // few hundred texts): fewer allocations, all given back when the document is freed.
  doc_ = HPDF_NewEx(ErroHpdf, nullptr, nullptr, 1 << 18, nullptr);
  if (!doc_) throw std::bad_alloc();
  HPDF_SetCompressionMode(doc_, HPDF_COMP_ALL);
  fonte_ = fonteNegrito_ = nullptr;
  usados_[0].reset();
  usados_[1].reset();
  for (const TArquivosFonte& f : kFontesPdf) {
    if (::access(f.normal, R_OK) != 0 || ::access(f.negrito, R_OK) != 0) continue;
    fonte_ = HPDF_GetFont(doc_, HPDF_LoadTTFontFromFile(doc_, f.normal, HPDF_TRUE), "WinAnsiEncoding");
    fonteNegrito_ = HPDF_GetFont(doc_, HPDF_LoadTTFontFromFile(doc_, f.negrito, HPDF_TRUE), "WinAnsiEncoding");
    break;
  }
  if (!fonte_) {
    fonte_ = HPDF_GetFont(doc_, "Courier", "WinAnsiEncoding");
    fonteNegrito_ = HPDF_GetFont(doc_, "Courier-Bold", "WinAnsiEncoding");
  }
  avanco_ = HPDF_Font_GetUnicodeWidth(fonte_, ' ') / 1000.0;
  auto texto = [this](HPDF_InfoType tipo, const std::string& valor) {
    if (!valor.empty()) HPDF_SetInfoAttr(doc_, tipo, ParaCp1252(valor).c_str());
  };
  texto(HPDF_INFO_TITLE, informacoes.Titulo);
  texto(HPDF_INFO_AUTHOR, informacoes.Autor);
  texto(HPDF_INFO_SUBJECT, informacoes.Assunto);
  texto(HPDF_INFO_CREATOR, informacoes.Criador);
  if (informacoes.Ano > 0) {
    HPDF_Date data{};
    data.year = informacoes.Ano;
    data.month = informacoes.Mes;
    data.day = informacoes.Dia;
    data.hour = informacoes.Hora;
    data.minutes = informacoes.Minuto;
    data.seconds = informacoes.Segundo;
    data.ind = ' ';
    HPDF_SetInfoDateAttr(doc_, HPDF_INFO_CREATION_DATE, data);
  }
  return true;
}

void TSaidaPdf::Pagina(const TPagina& pagina) {
  PontoDeFalha("gravar uma página do PDF");
  const TGeometria g = Geometria(papel_, pagina.QteLinhas(), pagina.QteColunas(), pagina.QteLinhas() == 66 ? 6 : 8);
  HPDF_Page pg = HPDF_AddPage(doc_);
  HPDF_Page_SetWidth(pg, static_cast<HPDF_REAL>(g.largura));
  HPDF_Page_SetHeight(pg, static_cast<HPDF_REAL>(g.altura));
  const double ascendente = HPDF_Font_GetAscent(fonte_) / 1000.0;
  const double caixa = ascendente - HPDF_Font_GetDescent(fonte_) / 1000.0;
  HPDF_Page_BeginText(pg);
  texto_ = TTextoDaPagina(pg);
  // Font, size and scaling stay set inside the text object: written only when they change.
  HPDF_Font fonteAtual = nullptr;
  double tamanhoAtual = -1, escalaAtual = -1;
  PorLinha(Disposicao(pagina), pagina.QteLinhas(), [&](const TTrechoDesenhado& t, const std::string& texto) {
    const double tamanhoPelaLargura = t.largura * g.coluna / avanco_;
    const double tamanho = std::min(tamanhoPelaLargura, g.linha / caixa);
    const double x = g.esquerda + t.coluna * g.coluna;
    // The font's box (its ascent over its descent, accents included) centred in the line.
    const double y = g.topo - (t.linha - 1) * g.linha - (g.linha - caixa * tamanho) / 2 - ascendente * tamanho;
    HPDF_Font fonte = t.negrito ? fonteNegrito_ : fonte_;
    if (fonte != fonteAtual || tamanho != tamanhoAtual) {
      HPDF_Page_SetFontAndSize(pg, fonte, static_cast<HPDF_REAL>(tamanho));
      fonteAtual = fonte;
      tamanhoAtual = tamanho;
    }
    const double escala = 100 * tamanhoPelaLargura / tamanho;
    if (escala != escalaAtual) {
      HPDF_Page_SetHorizontalScalling(pg, static_cast<HPDF_REAL>(escala));
      escalaAtual = escala;
    }
    std::string convertido;
    const std::string& escrito = Ascii(texto) ? texto : (convertido = ParaCp1252(texto));
    MarcarCaracteres(t.negrito, escrito);
    texto_.Escrever(static_cast<HPDF_REAL>(x), static_cast<HPDF_REAL>(y), escrito);
  });
  HPDF_Page_EndText(pg);
  ComprimirConteudo(pg);
}

void TSaidaPdf::Fechar() {
  PontoDeFalha("gravar o arquivo PDF");
  // Saved through the descriptor of the scratch file: a path could have been replaced meanwhile.
  // The document goes from libharu's memory stream to the file a block at a time.
  HPDF_SaveToStream(doc_);
  HPDF_ResetStream(doc_);
  std::array<HPDF_BYTE, 1 << 16> bloco;
  bool gravado = true;
  for (HPDF_STATUS lido = HPDF_OK; lido == HPDF_OK && gravado;) {
    HPDF_UINT32 tamanho = bloco.size();
    lido = HPDF_ReadFromStream(doc_, bloco.data(), &tamanho);
    gravado = GravarTudo(fd_, bloco.data(), tamanho);
  }
  HPDF_Free(doc_);
  doc_ = nullptr;
  gravado = ::close(fd_) == 0 && gravado;
  fd_ = -1;
  if (!gravado) throw std::runtime_error("erro de gravação; disco cheio?");
}

}  // namespace impressao
