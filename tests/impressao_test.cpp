// Print engine: page grid (overlay, centring, cutting), page events and their nesting, and the
// text and PDF outputs.
#include <gtest/gtest.h>

#include "utilitarios.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "host/impressao/motorimpressao.h"
#include "host/impressao/saidapdf.h"

namespace fs = std::filesystem;
using impressao::TFonte;
using impressao::TFontes;
using impressao::TLinha;
using impressao::TQDprint;

namespace {

// Scratch directory per test, removed at the end.
class Pasta {
 public:
  Pasta() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           ("livro_impressao_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  ~Pasta() { fs::remove_all(dir_); }
  std::string operator/(const std::string& nome) const { return (dir_ / nome).string(); }

 private:
  fs::path dir_;
};

// The engine printing accented text as it is: the grid tests count characters, accents included.
struct Motor : TQDprint {
  Motor() { SetSemAcento(false); }
};

// Line l (1-based) of page p (1-based) of the job.
std::string Linha(const TQDprint& m, int p, int l) {
  return m.Paginas().at(static_cast<size_t>(p - 1)).Linhas().at(static_cast<size_t>(l - 1));
}

}  // namespace

TEST(ImpressaoGrade, BrancosDeTextoPosteriorNaoApagam) {
  Motor m;
  ASSERT_TRUE(m.Abrir());
  m.Imp(3, 1, "ABCDE");
  m.Imp(3, 2, " X ");        // only the X lands; the blanks leave B and D alone
  m.Imp(3, 10, "   ");       // all blanks: nothing at all
  m.Imp(3, 4, "ção");        // accented characters take one column each
  EXPECT_EQ(Linha(m, 1, 3), "ABXção");
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

TEST(ImpressaoGrade, ControleDentroDoTextoNaoQuebraALinha) {
  Motor m;
  ASSERT_TRUE(m.Abrir());
  m.Imp(1, 1, "A\nB\fC");
  m.Fechar();
  EXPECT_EQ(Linha(m, 1, 1), "A?B?C");
  EXPECT_EQ(Linha(m, 1, 2), "");
}

TEST(ImpressaoGrade, CentralizaPeloCaractereDoMeio) {
  Motor m;
  ASSERT_TRUE(m.Abrir());
  m.ImpC(1, 0, "ABC", {});                  // column 0: page centre, 80
  m.ImpC(2, 0, "ABCD", {});
  m.ImpC(3, 20, "Apuração", {TFonte::Negrito, TFonte::Normal});
  m.ImpC(4, 1, "ABCDE", {TFonte::Comprimido});  // runs off the left edge
  const auto& t = m.Paginas().back().Textos();
  EXPECT_EQ(t[0].coluna, 79);
  EXPECT_EQ(Linha(m, 1, 1).substr(78), "ABC");
  EXPECT_EQ(t[1].coluna, 78);  // even length: start = centre - len / 2
  EXPECT_EQ(t[2].coluna, 16);  // 8 characters, not 10 bytes
  EXPECT_EQ(Linha(m, 1, 3), std::string(15, ' ') + "Apuração");
  EXPECT_EQ(t[3].coluna, -1);
  EXPECT_EQ(Linha(m, 1, 4), "CDE");
  EXPECT_EQ(m.Paginas().back().Visivel(3).coluna, 1);
}

TEST(ImpressaoGrade, GuardaFontesDeCadaTexto) {
  Motor m;
  ASSERT_TRUE(m.Abrir());
  m.Imp(1, 1, "padrão");
  m.SetFonte({TFonte::Comprimido});
  m.Imp(2, 1, "comprimido");
  m.ImpC(3, 0, "título", {TFonte::Negrito, TFonte::Normal});
  m.NovaPagina();
  m.ImpC(1, 0, "normal", {TFonte::Normal});
  const auto& p1 = m.Paginas()[0].Textos();
  const auto& p2 = m.Paginas()[1].Textos();
  ASSERT_EQ(p1.size(), 3u);
  ASSERT_EQ(p2.size(), 1u);
  EXPECT_TRUE(p1[0].fontes.Vazio());
  EXPECT_EQ(p1[1].fontes, TFontes{TFonte::Comprimido});
  EXPECT_EQ(p1[2].fontes, (TFontes{TFonte::Negrito, TFonte::Normal}));
  EXPECT_FALSE(p1[2].fontes.Contem(TFonte::Comprimido));
  EXPECT_EQ(p2[0].fontes, TFontes{TFonte::Normal});
  EXPECT_EQ(p2[0].pagina, 2);
  EXPECT_EQ(p2[0].linha, 1);
}

TEST(ImpressaoGrade, CortaNaColuna160) {
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
}

TEST(ImpressaoGrade, LinhaForaDaPaginaEErro) {
  Motor m;
  ASSERT_TRUE(m.Abrir());
  m.NovaPagina();
  EXPECT_NO_THROW(m.Imp(66, 1, "última"));
  try {
    m.Imp(67, 1, "x");
    FAIL() << "linha 67 aceita numa página de 66";
  } catch (const std::out_of_range& e) {
    std::string msg = e.what();
    EXPECT_NE(msg.find("67"), std::string::npos) << msg;
    EXPECT_NE(msg.find("página 2"), std::string::npos) << msg;
  }
  EXPECT_THROW(m.Imp(0, 1, "x"), std::out_of_range);
  EXPECT_THROW(m.ImpC(-1, 0, "x", {}), std::out_of_range);
  m.Fechar();

  m.SetLinha(TLinha::Oito);
  ASSERT_TRUE(m.Abrir());
  EXPECT_NO_THROW(m.Imp(88, 1, "x"));
  EXPECT_THROW(m.Imp(89, 1, "x"), std::out_of_range);
  m.Fechar();
}

// Accents go by default, as on the printers the book was laid out for.
TEST(ImpressaoGrade, SemAcento) {
  TQDprint m;
  ASSERT_TRUE(m.Abrir());
  m.Imp(1, 1, "Apuração do ICMS – nº 1");
  m.ImpC(2, 10, "ÉÇÃ", {TFonte::Normal});
  m.SetSemAcento(false);
  m.Imp(3, 1, "Apuração");
  m.Fechar();
  EXPECT_EQ(Linha(m, 1, 1), "Apuracao do ICMS – no 1");
  EXPECT_EQ(Linha(m, 1, 2), std::string(8, ' ') + "ECA");
  EXPECT_EQ(m.Paginas()[0].Textos()[1].texto, "ECA");
  EXPECT_EQ(Linha(m, 1, 3), "Apuração");
}

TEST(ImpressaoTrabalho, EventosDeUmTrabalhoDeTresPaginas) {
  Motor m;
  std::vector<std::string> log;
  m.OnNewPage = [&](int p) {
    log.push_back("NewPage(" + std::to_string(p) + ")");
    EXPECT_EQ(m.Pagina(), p);
    m.Imp(1, 1, "cabeçalho " + std::to_string(p));
  };
  m.OnBeforeNewPage = [&] {
    log.push_back("BeforeNewPage");
    m.Imp(m.TamanhoQteLinhas(), 1, "rodapé " + std::to_string(m.Pagina()));
  };
  m.OnAfterPrint = [&] { log.push_back("AfterPrint"); };
  ASSERT_TRUE(m.Setup());
  ASSERT_TRUE(m.Abrir());
  EXPECT_EQ(log, std::vector<std::string>{"NewPage(1)"});
  m.NovaPagina();
  m.NovaPagina();
  m.Fechar();
  EXPECT_EQ(log, (std::vector<std::string>{"NewPage(1)", "BeforeNewPage", "NewPage(2)",
                                           "BeforeNewPage", "NewPage(3)", "BeforeNewPage",
                                           "AfterPrint"}));
  ASSERT_EQ(m.Paginas().size(), 3u);
  for (int p = 1; p <= 3; ++p) {
    EXPECT_EQ(Linha(m, p, 1), "cabeçalho " + std::to_string(p));
    EXPECT_EQ(Linha(m, p, 66), "rodapé " + std::to_string(p));  // footer on its own page
  }
  EXPECT_FALSE(m.Aberto());
  EXPECT_THROW(m.NovaPagina(), std::logic_error);
  EXPECT_THROW(m.Imp(1, 1, "x"), std::logic_error);
}

TEST(ImpressaoTrabalho, PrimeiraFolhaEmBrancoPorChamadaAninhada) {
  Pasta pasta;
  Motor m;
  m.SetArquivoTexto(pasta / "livro.txt");
  std::vector<std::string> log;
  std::function<void()> rodape = [&] {
    log.push_back("BeforeNewPage");
    m.Imp(66, 1, "rodapé");
  };
  m.OnNewPage = [&](int p) {
    log.push_back("NewPage(" + std::to_string(p) + ")");
    if (p == 1) {
      m.OnBeforeNewPage = nullptr;
      m.NovaPagina();
      m.OnBeforeNewPage = rodape;
      return;
    }
    m.Imp(1, 1, "cabeçalho");
  };
  m.OnBeforeNewPage = rodape;
  m.OnAfterPrint = [&] { log.push_back("AfterPrint"); };
  ASSERT_TRUE(m.Abrir());
  EXPECT_EQ(m.Pagina(), 2);
  m.Imp(10, 1, "corpo");
  m.Fechar();
  EXPECT_EQ(log, (std::vector<std::string>{"NewPage(1)", "NewPage(2)", "BeforeNewPage",
                                           "AfterPrint"}));
  ASSERT_EQ(m.Paginas().size(), 2u);
  EXPECT_TRUE(m.Paginas()[0].Textos().empty());
  EXPECT_EQ(Linha(m, 2, 1), "cabeçalho");
  EXPECT_EQ(Linha(m, 2, 10), "corpo");
  EXPECT_EQ(Linha(m, 2, 66), "rodapé");
  // The blank side is still a page of the output.
  EXPECT_EQ(Ler(pasta / "livro.txt"),
            std::string(66, '\n') + "\fcabeçalho\n" + std::string(8, '\n') + "corpo\n" +
                std::string(55, '\n') + "rodapé\n");
}

TEST(ImpressaoTrabalho, AbrirFalhaSemCriarASaida) {
  for (bool pdf : {false, true}) {
    Motor m;
    int paginas = 0;
    m.OnNewPage = [&](int) { ++paginas; };
    if (pdf) m.SetArquivoPdf("/nao/existe/livro.pdf");
    else m.SetArquivoTexto("/nao/existe/livro.txt");
    EXPECT_FALSE(m.Abrir()) << (pdf ? "pdf" : "texto");
    EXPECT_FALSE(m.Aberto());
    EXPECT_EQ(paginas, 0);
    EXPECT_THROW(m.Fechar(), std::logic_error);
  }
  Motor m;
  m.SetCancelarSetup(true);
  EXPECT_FALSE(m.Setup());
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
  m.OnVisualizar = [&](TQDprint& prn) {
    paginasVistas = static_cast<int>(prn.Paginas().size());
    if (destino) prn.Salvar(pasta / "salvo.txt", "", impressao::TPapel::A4);
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
}

TEST(ImpressaoTrabalho, PropriedadesDoMotor) {
  Motor m;
  EXPECT_EQ(m.TamanhoQteLinhas(), 66);
  EXPECT_EQ(m.TamanhoQteColunas(), 160);
  EXPECT_EQ(m.Modelo(), impressao::TModelo::Grafico);
  EXPECT_EQ(m.Titulo(), "Livro de ICMS");
  m.SetArquivoPdf("livro.pdf");
  EXPECT_EQ(m.NomeImpressora(), "Arquivo PDF: livro.pdf");
  m.SetLinha(TLinha::Oito);
  EXPECT_EQ(m.TamanhoQteLinhas(), 88);
  m.SetArquivoPdf("");
  ASSERT_TRUE(m.Abrir());
  EXPECT_THROW(m.SetLinha(TLinha::Seis), std::logic_error);  // would tear the open page
  EXPECT_THROW(m.Abrir(), std::logic_error);
  m.Fechar();
}

TEST(ImpressaoSaidaTexto, FormatoDasPaginas) {
  for (TLinha espaco : {TLinha::Seis, TLinha::Oito}) {
    Pasta pasta;
    Motor m;
    m.SetLinha(espaco);
    const int n = m.TamanhoQteLinhas();
    m.SetArquivoTexto(pasta / "livro.txt");
    m.OnBeforeNewPage = [&] { m.Imp(n, 150, "fim   "); };
    ASSERT_TRUE(m.Abrir());
    m.Imp(1, 1, "A   ");
    m.NovaPagina();
    m.NovaPagina();
    m.ImpC(2, 0, "Título", {TFonte::Negrito, TFonte::Normal});
    m.Fechar();

    const std::string rodape = std::string(149, ' ') + "fim\n";
    const auto brancas = [](int k) { return std::string(static_cast<size_t>(k), '\n'); };
    EXPECT_EQ(Ler(pasta / "livro.txt"),
              "A\n" + brancas(n - 2) + rodape +                                 // page 1
              "\f" + brancas(n - 1) + rodape +                                  // page 2
              "\f\n" + std::string(76, ' ') + "Título\n" + brancas(n - 3) + rodape);
  }
}

TEST(ImpressaoSaidaPdf, ConverteParaCp1252) {
  using impressao::ParaCp1252;
  EXPECT_EQ(ParaCp1252("Apuração"), "Apura\xE7\xE3o");
  EXPECT_EQ(ParaCp1252("–"), "\x96");   // en dash: CP1252 has it, ISO-8859-1 does not
  EXPECT_EQ(ParaCp1252("€ “x” —"), "\x80 \x93x\x94 \x97");
  EXPECT_EQ(ParaCp1252("º ª °"), "\xBA \xAA \xB0");
  EXPECT_EQ(ParaCp1252("中a"), "?a");
  EXPECT_EQ(ParaCp1252("\u0081"), "?");  // C1 control: a hole in CP1252
}

TEST(ImpressaoSaidaPdf, PaginasETextoExtraivel) {
  if (!Existe("pdfinfo") || !Existe("pdftotext")) GTEST_SKIP() << "poppler-utils ausente";
  Pasta pasta;
  Motor m;
  m.SetArquivoPdf(pasta / "livro.pdf");
  m.SetArquivoTexto(pasta / "livro.txt");
  EXPECT_EQ(m.NomeImpressora(),
            "Arquivo PDF: " + pasta / "livro.pdf" + "; Arquivo texto: " + pasta / "livro.txt");
  m.OnNewPage = [&](int p) {
    m.ImpC(1, 0, "Livro Registro de Apuração do ICMS", {TFonte::Negrito, TFonte::Normal});
    m.Imp(3, 1, "Página " + std::to_string(p) + " – Período 01/2024 中");
  };
  ASSERT_TRUE(m.Abrir());
  m.NovaPagina();
  m.NovaPagina();
  m.Imp(66, 158, "ÇÃO");
  m.Fechar();

  const std::string pdf = pasta / "livro.pdf";
  const std::string info = Executar("pdfinfo '" + pdf + "'");
  EXPECT_NE(info.find("Pages:           3"), std::string::npos) << info;
  EXPECT_NE(info.find("595.28 x 841.89 pts (A4)"), std::string::npos) << info;  // A4 unless asked
  const std::string texto = Executar("pdftotext -layout '" + pdf + "' -");
  EXPECT_NE(texto.find("Livro Registro de Apuração do ICMS"), std::string::npos) << texto;
  EXPECT_NE(texto.find("Página 3 – Período 01/2024 ?"), std::string::npos) << texto;
  EXPECT_NE(texto.find("ÇÃO"), std::string::npos) << texto;
}

// Words of a PDF page with their boxes (pdftotext -bbox), in points from the top-left corner.
struct TPalavra {
  std::string texto;
  double x0, y0, x1, y1;
};
std::vector<TPalavra> Palavras(const std::string& pdf) {
  std::vector<TPalavra> r;
  std::istringstream in(Executar("pdftotext -bbox '" + pdf + "' -"));
  for (std::string l; std::getline(in, l);) {
    TPalavra p{};
    if (std::sscanf(l.c_str(), " <word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\">", &p.x0, &p.y0, &p.x1,
                    &p.y1) != 4)
      continue;
    const size_t a = l.find('>') + 1, b = l.find("</word>");
    p.texto = l.substr(a, b - a);
    r.push_back(p);
  }
  return r;
}

// The paper sizes, and the grid inside each: at 1/8 inch the wide title (two columns a letter)
// no longer reaches the subtitle on the next line, and the last column still fits on the sheet.
TEST(ImpressaoSaidaPdf, PapelEAlturaDasLetras) {
  if (!Existe("pdfinfo") || !Existe("pdftotext")) GTEST_SKIP() << "poppler-utils ausente";
  struct TCaso {
    impressao::TPapel papel;
    const char* tamanho;
    double largura;
  };
  for (const TCaso& c : {TCaso{impressao::TPapel::A4, "595.28 x 841.89 pts", 595.28},
                         TCaso{impressao::TPapel::Carta, "612 x 792 pts", 612},
                         TCaso{impressao::TPapel::Formulario, "684 x 792 pts", 684}}) {
    Pasta pasta;
    TQDprint m;
    m.SetLinha(TLinha::Oito);
    m.SetPapel(c.papel);
    m.SetArquivoPdf(pasta / "p.pdf");
    ASSERT_TRUE(m.Abrir());
    m.ImpC(2, 0, "TITULO LARGO", {TFonte::Negrito, TFonte::Normal});
    m.ImpC(3, 0, "SUBTITULO", {TFonte::Normal});
    m.Imp(4, 151, "ULTIMACOL");  // ends at column 159
    m.Fechar();
    const std::string info = Executar("pdfinfo '" + pasta / "p.pdf" + "'");
    EXPECT_NE(info.find(c.tamanho), std::string::npos) << info;
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
