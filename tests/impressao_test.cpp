// Print engine: page grid (overlay, centring, cutting), page events and their nesting, and the
// text and PDF outputs (whole text books are the book tests' golden pages).
#include <gtest/gtest.h>

#include "utilitarios.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "host/impressao/motorimpressao.h"
#include "host/impressao/saidapdf.h"
#include "host/impressao/substituicao.h"

namespace fs = std::filesystem;
using impressao::TFonte;
using impressao::TFontes;
using impressao::TLinha;
using impressao::TQDprint;

namespace {

// Scratch directory per test, removed at the end.
struct Pasta {
  const fs::path dir = fs::temp_directory_path() / ("livro_impressao_" + std::to_string(::getpid()) + "_" +
                                                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
  Pasta() { fs::create_directories(dir); }
  ~Pasta() { fs::remove_all(dir); }
  std::string operator/(const std::string& nome) const { return (dir / nome).string(); }
};

// The engine printing accented text as it is (by default it drops accents, as on the printers the
// book was laid out for: the book tests check that): the grid tests count characters, accents included.
struct Motor : TQDprint {
  Motor() { SetSemAcento(false); }
};

// Line l (1-based) of page p (1-based) of the job.
std::string Linha(const TQDprint& m, int p, int l) {
  return m.Paginas().at(static_cast<size_t>(p - 1)).Linhas().at(static_cast<size_t>(l - 1));
}

}  // namespace

// A later text writes only its non-blank characters; a control character is a '?' on the same line,
// a byte that is not UTF-8 the replacement character.
TEST(ImpressaoGrade, BrancosNaoApagamEControlesNaoQuebramALinha) {
  Motor m;
  ASSERT_TRUE(m.Abrir());
  m.Imp(3, 1, "ABCDE");
  m.Imp(3, 2, " X ");        // only the X lands; the blanks leave B and D alone
  m.Imp(3, 10, "   ");       // all blanks: nothing at all
  m.Imp(3, 4, "ção");        // accented characters take one column each
  m.Imp(1, 1, "A\nB\fC");
  m.Imp(4, 1, "a\x80" "b");
  EXPECT_EQ(Linha(m, 1, 3), "ABXção");
  EXPECT_EQ(Linha(m, 1, 1), "A?B?C");
  EXPECT_EQ(Linha(m, 1, 4), "a\uFFFDb");
  EXPECT_EQ(Linha(m, 1, 2), "");
  // The PDF draws every text as the grid shows it: covered characters become blanks.
  const auto& pg = m.Paginas().back();
  EXPECT_EQ(pg.Visivel(0).texto, "AB");
  EXPECT_EQ(pg.Visivel(0).coluna, 1);
  EXPECT_EQ(pg.Visivel(1).texto, "X");
  EXPECT_EQ(pg.Visivel(1).coluna, 3);
  EXPECT_EQ(pg.Visivel(2).texto, "");
  EXPECT_EQ(pg.Visivel(3).texto, "ção");
  m.Fechar();
  EXPECT_EQ(m.Paginas().back().Visivel(0).texto, "AB");  // same after the page is concluded
}

// ImpC centres on the middle character and keeps the fonts it is given; Imp takes the current font.
TEST(ImpressaoGrade, CentralizaPeloCaractereDoMeioEGuardaAsFontes) {
  Motor m;
  ASSERT_TRUE(m.Abrir());
  m.ImpC(1, 0, "ABC", {});                  // column 0: page centre, 80
  m.ImpC(2, 0, "ABCD", {});
  m.ImpC(3, 20, "Apuração", {TFonte::Negrito, TFonte::Normal});
  m.ImpC(4, 1, "ABCDE", {TFonte::Comprimido});  // runs off the left edge
  m.Imp(5, 1, "padrão");
  m.SetFonte({TFonte::Comprimido});
  m.Imp(6, 1, "comprimido");
  m.ImpC(7, 0, "normal", {TFonte::Normal});
  const auto& t = m.Paginas().back().Textos();
  EXPECT_EQ(t[0].coluna, 79);
  EXPECT_EQ(Linha(m, 1, 1).substr(78), "ABC");
  EXPECT_EQ(t[1].coluna, 78);  // even length: start = centre - len / 2
  EXPECT_EQ(t[2].coluna, 16);  // 8 characters, not 10 bytes
  EXPECT_EQ(Linha(m, 1, 3), std::string(15, ' ') + "Apuração");
  EXPECT_EQ(t[3].coluna, -1);
  EXPECT_EQ(Linha(m, 1, 4), "CDE");
  EXPECT_EQ(m.Paginas().back().Visivel(3).coluna, 1);
  EXPECT_EQ(t[2].fontes, (TFontes{TFonte::Negrito, TFonte::Normal}));
  EXPECT_TRUE(t[4].fontes.Vazio());
  EXPECT_EQ(t[5].fontes, TFontes{TFonte::Comprimido});
  EXPECT_EQ(t[6].fontes, TFontes{TFonte::Normal});  // its own, not the current
}

// Text is cut at column 160; a line outside the page (66 lines at 1/6 inch, 88 at 1/8) is an error.
TEST(ImpressaoGrade, CortaNaColuna160ELinhaForaDaPaginaEErro) {
  Motor m;
  ASSERT_TRUE(m.Abrir());
  m.Imp(1, 158, "ABCDE");
  m.Imp(2, 161, "fora");
  m.Imp(3, 1, std::string(200, 'x'));
  m.ImpC(4, 160, "éééé", {});  // starts at 158: three of the accented characters fit
  EXPECT_EQ(Linha(m, 1, 1), std::string(157, ' ') + "ABC");
  EXPECT_EQ(Linha(m, 1, 2), "");
  EXPECT_EQ(Linha(m, 1, 3), std::string(160, 'x'));
  EXPECT_EQ(Linha(m, 1, 4), std::string(157, ' ') + "ééé");
  EXPECT_EQ(m.Paginas().back().Visivel(0).texto, "ABC");
  m.NovaPagina();
  EXPECT_NO_THROW(m.Imp(66, 1, "última"));
  const std::string msg = Erro<std::out_of_range>([&] { m.Imp(67, 1, "x"); });
  EXPECT_CONTEM(msg, "67");
  EXPECT_CONTEM(msg, "página 2");
  EXPECT_THROW(m.Imp(0, 1, "x"), std::out_of_range);
  EXPECT_THROW(m.ImpC(-1, 0, "x", {}), std::out_of_range);
  m.Fechar();

  m.SetLinha(TLinha::Oito);
  ASSERT_TRUE(m.Abrir());
  EXPECT_NO_THROW(m.Imp(88, 1, "x"));
  EXPECT_THROW(m.Imp(89, 1, "x"), std::out_of_range);
  m.Fechar();
}

// A job's events: the header on each new page, the footer before a page ends, AfterPrint at the end.
TEST(ImpressaoTrabalho, EventosDoTrabalhoEPrimeiraFolhaEmBrancoPorChamadaAninhada) {
  Pasta pasta;
  Motor m;
  std::vector<std::string> log;
  bool ejetar = false;
  std::function<void()> rodape = [&] {
    log.push_back("BeforeNewPage");
    m.Imp(m.TamanhoQteLinhas(), 1, "rodapé " + std::to_string(m.Pagina()) + "   ");
  };
  m.OnNewPage = [&](int p) {
    log.push_back("NewPage(" + std::to_string(p) + ")");
    EXPECT_EQ(m.Pagina(), p);
    if (ejetar && p == 1) {
      m.OnBeforeNewPage = nullptr;
      m.NovaPagina();
      m.OnBeforeNewPage = rodape;
      return;
    }
    m.Imp(1, 1, "cabeçalho " + std::to_string(p));
  };
  m.OnBeforeNewPage = rodape;
  m.OnAfterPrint = [&] { log.push_back("AfterPrint"); };
  ASSERT_TRUE(m.Setup());
  ASSERT_TRUE(m.Abrir());
  EXPECT_EQ(log, std::vector<std::string>{"NewPage(1)"});
  m.NovaPagina();
  m.NovaPagina();
  m.Fechar();
  EXPECT_EQ(log, (std::vector<std::string>{"NewPage(1)", "BeforeNewPage", "NewPage(2)", "BeforeNewPage", "NewPage(3)",
                                           "BeforeNewPage", "AfterPrint"}));
  ASSERT_EQ(m.Paginas().size(), 3u);
  for (int p = 1; p <= 3; ++p) {
    EXPECT_EQ(Linha(m, p, 1), "cabeçalho " + std::to_string(p));
    EXPECT_EQ(Linha(m, p, 66), "rodapé " + std::to_string(p));  // footer on its own page
  }
  EXPECT_FALSE(m.Aberto());
  EXPECT_THROW(m.NovaPagina(), std::logic_error);
  EXPECT_THROW(m.Imp(1, 1, "x"), std::logic_error);

  // A page started from inside NewPage(1), the footer held back, leaves the first side blank, still
  // a page of the text output.
  log.clear();
  ejetar = true;
  m.SetArquivoTexto(pasta / "livro.txt");
  ASSERT_TRUE(m.Abrir());
  EXPECT_EQ(m.Pagina(), 2);
  // An open job is not opened again, nor its line spacing changed (the open page would tear).
  EXPECT_THROW(m.Abrir(), std::logic_error);
  EXPECT_THROW(m.SetLinha(TLinha::Oito), std::logic_error);
  m.Imp(10, 1, "corpo   ");
  m.Fechar();
  EXPECT_EQ(log, (std::vector<std::string>{"NewPage(1)", "NewPage(2)", "BeforeNewPage", "AfterPrint"}));
  // Header, body and footer on the second side, without their trailing blanks.
  EXPECT_EQ(Ler(pasta / "livro.txt"), std::string(66, '\n') + "\fcabeçalho 2\n" + std::string(8, '\n') + "corpo\n" +
                                          std::string(55, '\n') + "rodapé 2\n");
}

// An output that cannot be created: no job, no page started.
TEST(ImpressaoTrabalho, AbrirFalhaSemCriarASaida) {
  for (bool pdf : {false, true}) {
    Motor m;
    m.OnNewPage = [](int) { ADD_FAILURE() << "página iniciada"; };
    if (pdf) m.SetArquivoPdf("/nao/existe/livro.pdf");
    else m.SetArquivoTexto("/nao/existe/livro.txt");
    EXPECT_FALSE(m.Abrir()) << (pdf ? "pdf" : "texto");
    EXPECT_FALSE(m.Aberto());
    EXPECT_THROW(m.Fechar(), std::logic_error);
  }
}

// Scratch files are created, never opened: links planted beside the targets under the names
// scratch files took (".livro.txt.PID.N.tmp", N from 1 on) lead nowhere, and the file they point
// at stays as it was; the text and the PDF are written and put in place.
TEST(ImpressaoTrabalho, RascunhoCriadoSemSeguirLigacoes) {
  Pasta pasta;
  std::ofstream(pasta / "alheio") << "arquivo de outro\n";
  for (const std::string nome : {"livro.txt", "livro.pdf"})
    for (int n = 1; n <= 100; ++n)
      fs::create_symlink(pasta / "alheio", pasta / ("." + nome + "." + std::to_string(::getpid()) + "." +
                                                    std::to_string(n) + ".tmp"));
  Motor m;
  m.SetArquivoTexto(pasta / "livro.txt");
  m.SetArquivoPdf(pasta / "livro.pdf");
  ASSERT_TRUE(m.Abrir());
  m.Imp(1, 1, "página 1");
  ASSERT_TRUE(m.Fechar());
  EXPECT_EQ(Ler(pasta / "alheio"), "arquivo de outro\n");
  EXPECT_EQ(Ler(pasta / "livro.txt"), "página 1\n" + std::string(65, '\n'));
  EXPECT_EQ(Ler(pasta / "livro.pdf").rfind("%PDF-", 0), 0u);
  EXPECT_EQ(std::distance(fs::directory_iterator(pasta.dir), fs::directory_iterator()), 2 + 2 * 100 + 1);
}

// With a preview, the job counts as printed only when the preview sent it somewhere: closed without
// that, nothing is written and the after-print event (the job's record) does not happen; sent to a
// file, the job completes and names that destination, and saving from the preview writes the same
// text as the job's own output.
TEST(ImpressaoTrabalho, VisualizacaoDecideSeOTrabalhoFoiImpresso) {
  Pasta pasta;
  std::ofstream(pasta / "livro.txt") << "livro anterior\n";
  Motor m;
  m.SetArquivoTexto(pasta / "livro.txt");
  int registros = 0;
  m.OnAfterPrint = [&] { ++registros; };
  std::optional<std::string> destino;
  int paginasVistas = 0;
  bool salvoNaVisualizacao = false;
  m.OnVisualizar = [&](TQDprint& prn) {
    paginasVistas = static_cast<int>(prn.Paginas().size());
    if (destino) prn.Salvar(pasta / "salvo.txt", "", impressao::TPapel::A4);
    salvoNaVisualizacao = fs::exists(pasta / "salvo.txt");
    return destino;
  };
  auto duasPaginas = [&m] {
    if (!m.Abrir()) return false;
    m.Imp(1, 1, "página 1");
    m.NovaPagina();
    m.Imp(2, 5, "página 2");
    return true;
  };
  ASSERT_TRUE(duasPaginas());
  EXPECT_FALSE(m.Fechar());
  EXPECT_EQ(paginasVistas, 2);
  EXPECT_EQ(registros, 0);
  EXPECT_EQ(Ler(pasta / "livro.txt"), "livro anterior\n");
  EXPECT_FALSE(fs::exists(pasta / "salvo.txt"));

  destino = "Arquivo texto: " + pasta / "salvo.txt";
  ASSERT_TRUE(duasPaginas());
  EXPECT_TRUE(m.Fechar());
  EXPECT_EQ(registros, 1);
  EXPECT_EQ(m.NomeImpressora(), *destino);
  EXPECT_EQ(Ler(pasta / "livro.txt"), "página 1\n" + std::string(65, '\n') + "\f\n    página 2\n" + std::string(64, '\n'));
  EXPECT_EQ(Ler(pasta / "salvo.txt"), Ler(pasta / "livro.txt"));
  // The file saved from the preview takes its place with the job's outputs, when the job's record
  // is written: a record that fails leaves it as it was, as it leaves the job's own output.
  EXPECT_FALSE(salvoNaVisualizacao);
  std::ofstream(pasta / "salvo.txt") << "salvo anterior\n";
  m.OnConfirmar = [] { throw std::runtime_error("registro recusado"); };
  ASSERT_TRUE(duasPaginas());
  EXPECT_THROW(m.Fechar(), std::runtime_error);
  EXPECT_EQ(Ler(pasta / "salvo.txt"), "salvo anterior\n");
  EXPECT_EQ(Ler(pasta / "livro.txt"), "página 1\n" + std::string(65, '\n') + "\f\n    página 2\n" + std::string(64, '\n'));
}

TEST(ImpressaoSaidaPdf, ConverteParaCp1252) {
  // The en dash, euro and curly quotes are in CP1252 but not in ISO-8859-1; U+0081 is a hole in it.
  EXPECT_EQ(impressao::ParaCp1252("Apuração – € “x” — º ª ° 中a \u0081"),
            "Apura\xE7\xE3o \x96 \x80 \x93x\x94 \x97 \xBA \xAA \xB0 ?a ?");
}

// Words of a PDF page with their boxes (pdftotext -bbox), in points from the top-left corner.
struct TPalavra { std::string texto; double x0, y0, x1, y1; };
std::vector<TPalavra> Palavras(const std::string& pdf) {
  std::vector<TPalavra> r;
  std::istringstream in(Executar("pdftotext -bbox '" + pdf + "' -"));
  for (std::string l; std::getline(in, l);) {
    TPalavra p{};
    if (std::sscanf(l.c_str(), " <word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\">", &p.x0, &p.y0, &p.x1, &p.y1) != 4)
      continue;
    const size_t a = l.find('>') + 1, b = l.find("</word>");
    p.texto = l.substr(a, b - a);
    r.push_back(p);
  }
  return r;
}

// Dark pixels on the band of A4 grid line `linha` (of 66) of a page rendered at 72 dpi as a binary
// PGM (pdftoppm -r 72 -gray): a pixel a point, each line a band of 11.897 pixels under a 10 mm
// (28.3 pixel) top margin.
int Escuros(const std::string& pgm, int linha) {
  std::ifstream in(pgm, std::ios::binary);
  std::string tipo;
  int largura = 0, altura = 0, maximo = 0;
  in >> tipo >> largura >> altura >> maximo;
  in.get();
  std::vector<unsigned char> px(static_cast<size_t>(largura) * static_cast<size_t>(altura));
  in.read(reinterpret_cast<char*>(px.data()), static_cast<std::streamsize>(px.size()));
  const double passo = (841.89 - 2 * 28.3465) / 66;
  const int de = static_cast<int>(28.3465 + (linha - 1) * passo), ate = static_cast<int>(28.3465 + linha * passo) + 1;
  int n = 0;
  for (int y = std::max(de, 0); y < std::min(ate, altura); ++y)
    for (int x = 0; x < largura; ++x) n += px[static_cast<size_t>(y * largura + x)] < 160;
  return n;
}

// Texts of one line in the same font and pitch are drawn together: each still starts on its own
// column of the grid, and a text of another pitch, off the grid by half a letter, or accented keeps
// its own place and width; every page is drawn, in both fonts.
TEST(ImpressaoSaidaPdf, TextosDeUmaLinhaNoLugarDaGrade) {
  if (!Existe("pdftotext")) GTEST_SKIP() << "poppler-utils ausente";
  Pasta pasta;
  Motor m;
  m.SetArquivoPdf(pasta / "p.pdf");
  ASSERT_TRUE(m.Abrir());
  m.Imp(5, 1, "AB");
  m.Imp(5, 10, "CD");
  m.Imp(5, 40, "EF");
  m.SetFonte({TFonte::Negrito, TFonte::Comprimido});
  m.Imp(5, 60, "GH");
  m.SetFonte({});
  m.Imp(5, 70, "IJ");
  m.ImpC(5, 86, "KL", {TFonte::Normal});
  m.ImpC(5, 121, "MN", {TFonte::Normal});
  m.ImpC(5, 127, "OP", {TFonte::Normal});
  m.ImpC(5, 132, "QR", {TFonte::Normal});
  m.Imp(5, 145, "ção");
  m.NovaPagina();
  m.SetFonte({TFonte::Negrito});
  m.Imp(30, 1, "ABCD");  // letters page 1 drew in the regular font only
  m.Fechar();
  // A4: the grid spans 595.28 pt less two 10 mm margins (2 x 28.3465 pt), so a column is
  // 538.587 / 160 = 3.36617 pt. One character a column puts AB, CD, EF, GH, IJ and ção at 0, 9,
  // 39, 59, 69 and 144 columns from the grid's left edge. A 10-cpi text takes two columns a letter
  // around the centre of its grid span: KL, placed at column 85 (ImpC(86) less half its length),
  // spans 84 to 86 from the edge, centre 85, and its 2 letters x 2 columns = 4 columns start 2
  // before: at 83, ending at 87 (6 letters of two columns past IJ's end at 71). Likewise MN placed at 120 starts at 118, OP at 126 at 124 and QR
  // at 131 at 129: half a letter past OP's grid of letters (124 + 4 = 128, next letter at 130).
  const double coluna = (595.28 - 2 * 28.3465) / 160;
  std::map<std::string, TPalavra> w;
  for (const auto& p : Palavras(pasta / "p.pdf")) w[p.texto] = p;
  for (const auto& [palavra, inicio] : std::map<std::string, double>{{"AB", 0},  {"CD", 9},   {"EF", 39},
                                                                      {"GH", 59}, {"IJ", 69},  {"KL", 83},
                                                                      {"MN", 118}, {"OP", 124}, {"QR", 129},
                                                                      {"ção", 144}}) {
    ASSERT_EQ(w.count(palavra), 1u) << palavra;
    EXPECT_NEAR(w[palavra].x0 - w["AB"].x0, inicio * coluna, 0.05) << palavra;
  }
  EXPECT_NEAR(w["IJ"].x1 - w["IJ"].x0, 2 * coluna, 0.05);
  EXPECT_NEAR(w["KL"].x1 - w["KL"].x0, 4 * coluna, 0.05);
  EXPECT_NEAR(w["QR"].x1 - w["QR"].x0, 4 * coluna, 0.05);

  // What a viewer draws, not only what it extracts: every letter of both fonts has its shape in the
  // embedded font, and every page's compressed content opens.
  if (!Existe("pdftoppm")) return;
  Executar("pdftoppm -r 72 -gray '" + pasta / "p.pdf" + "' '" + pasta / "p" + "'");
  EXPECT_GT(Escuros(pasta / "p-1.pgm", 5), 20);
  EXPECT_EQ(Escuros(pasta / "p-1.pgm", 30), 0);
  EXPECT_GT(Escuros(pasta / "p-2.pgm", 30), 20);
  EXPECT_EQ(Escuros(pasta / "p-2.pgm", 5), 0);
}

// The paper sizes, and the grid inside each: at 1/8 inch the wide title (two columns a letter)
// no longer reaches the subtitle on the next line, and the last column still fits on the sheet;
// accented texts come back out of the PDF.
TEST(ImpressaoSaidaPdf, PapelAlturaDasLetrasETextoExtraivel) {
  if (!Existe("pdfinfo") || !Existe("pdftotext")) GTEST_SKIP() << "poppler-utils ausente";
  struct TCaso { impressao::TPapel papel; const char* tamanho; double largura; };
  for (const TCaso& c : {TCaso{impressao::TPapel::A4, "595.28 x 841.89 pts (A4)", 595.28},
                         TCaso{impressao::TPapel::Carta, "612 x 792 pts", 612},
                         TCaso{impressao::TPapel::Formulario, "684 x 792 pts", 684}}) {
    Pasta pasta;
    Motor m;
    m.SetLinha(TLinha::Oito);
    if (c.papel != impressao::TPapel::A4) m.SetPapel(c.papel);  // A4 unless asked
    m.SetArquivoPdf(pasta / "p.pdf");
    m.SetArquivoTexto(pasta / "p.txt");
    EXPECT_EQ(m.NomeImpressora(), "Arquivo PDF: " + pasta / "p.pdf" + "; Arquivo texto: " + pasta / "p.txt");
    ASSERT_TRUE(m.Abrir());
    m.ImpC(2, 0, "TITULO LARGO", {TFonte::Negrito, TFonte::Normal});
    m.ImpC(3, 0, "SUBTITULO", {TFonte::Normal});
    m.Imp(4, 151, "ULTIMACOL");  // ends at column 159
    m.ImpC(6, 0, "Livro Registro de Apuração do ICMS", {TFonte::Negrito, TFonte::Normal});
    m.Imp(7, 1, "Página 3 – Período 01/2024 中");
    m.Imp(88, 158, "ÇÃO");
    m.Fechar();
    const std::string texto = Executar("pdftotext -layout '" + pasta / "p.pdf" + "' -");
    EXPECT_CONTEM(texto, "Livro Registro de Apuração do ICMS");
    EXPECT_CONTEM(texto, "Página 3 – Período 01/2024 ?");
    EXPECT_CONTEM(texto, "ÇÃO");
    EXPECT_CONTEM(Executar("pdfinfo '" + pasta / "p.pdf" + "'"), c.tamanho);
    std::map<std::string, TPalavra> w;
    for (const auto& p : Palavras(pasta / "p.pdf")) w[p.texto] = p;
    ASSERT_EQ(w.count("TITULO") + w.count("SUBTITULO") + w.count("ULTIMACOL"), 3u);
    EXPECT_LE(w["TITULO"].y1, w["SUBTITULO"].y0 + 0.01) << "o título invade a linha do subtítulo";
    EXPECT_LE(w["SUBTITULO"].y1, w["ULTIMACOL"].y0 + 0.01);
    // Two columns a letter: "TITULO LARGO" spans 24 columns, "ULTIMACOL" 9.
    const double coluna = (w["ULTIMACOL"].x1 - w["ULTIMACOL"].x0) / 9;
    EXPECT_NEAR(w["LARGO"].x1 - w["TITULO"].x0, 24 * coluna, coluna / 2);
    EXPECT_LT(w["ULTIMACOL"].x1, c.largura);
  }
}

// One PDF output writes one document after another (as the preview's saving may): each embeds the
// shapes of its own letters in both fonts, and each page's content is deflated: 50 more lines of
// 150 letters add 7,500 bytes to the page and less than 1,000 to the file.
TEST(ImpressaoSaidaPdf, DocumentosSeguidosCadaUmComSuasLetras) {
  if (!Existe("pdftoppm")) GTEST_SKIP() << "poppler-utils ausente";
  Pasta pasta;
  impressao::TSaidaPdf pdf(impressao::TPapel::A4);
  auto documento = [&](const std::string& nome, int linhas) {
    impressao::TSubstituicaoArquivos arquivos;
    ASSERT_TRUE(pdf.Abrir(arquivos.Adicionar(pasta / nome)));
    impressao::TPagina p(1, 66, 160);
    p.Escrever(5, 1, "AB", {});
    p.Escrever(6, 1, "CD", {TFonte::Negrito});
    for (int l = 10; l < 10 + linhas; ++l) p.Escrever(l, 1, std::string(150, 'B'), {});
    p.Concluir();
    pdf.Pagina(p);
    pdf.Fechar();
    arquivos.Confirmar();
  };
  documento("um.pdf", 0);
  documento("dois.pdf", 50);
  EXPECT_LT(fs::file_size(pasta / "dois.pdf"), fs::file_size(pasta / "um.pdf") + 1000);
  Executar("pdftoppm -r 72 -gray '" + pasta / "dois.pdf" + "' '" + pasta / "d" + "'");
  EXPECT_GT(Escuros(pasta / "d-1.pgm", 5), 10);
  EXPECT_GT(Escuros(pasta / "d-1.pgm", 6), 10);
}

// Every byte goes, or the write says it failed.
TEST(ImpressaoSubstituicao, GravarTudoOuFalhar) {
  int canal[2];
  ASSERT_EQ(::pipe(canal), 0);
  EXPECT_TRUE(impressao::GravarTudo(canal[1], "x", 1));
  EXPECT_TRUE(impressao::GravarTudo(canal[1], "yz", 2));
  char lido[4] = {};
  EXPECT_EQ(::read(canal[0], lido, sizeof lido), 3);
  EXPECT_STREQ(lido, "xyz");
  ::close(canal[0]);
  ::close(canal[1]);
  EXPECT_FALSE(impressao::GravarTudo(canal[1], "x", 1));  // closed
}

// A PDF the disk refuses (here the process's file size limit, 20,000 bytes: the embedded fonts
// alone are more) fails the job with the file's name, and the earlier book stays as it was.
TEST(ImpressaoSaidaPdf, GravacaoRecusadaNaoTrocaOLivroAnterior) {
  Pasta pasta;
  std::ofstream(pasta / "livro.pdf") << "livro anterior";
  Motor m;
  m.SetArquivoPdf(pasta / "livro.pdf");
  ASSERT_TRUE(m.Abrir());
  m.Imp(1, 1, "APURAÇÃO");
  rlimit antes{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &antes), 0);
  rlimit limite = antes;
  limite.rlim_cur = 20000;
  auto sinal = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limite), 0);
  std::string erro;
  try {
    m.Fechar();
  } catch (const std::runtime_error& e) {
    erro = e.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &antes);
  std::signal(SIGXFSZ, sinal);
  EXPECT_CONTEM(erro, "Não foi possível gravar o arquivo " + pasta / "livro.pdf" + " (erro de gravação; disco cheio?)");
  EXPECT_EQ(Ler(pasta / "livro.pdf"), "livro anterior");
}
