// The livro-icms program as a user runs it, on a demo database in a scratch directory: request
// errors with their messages and exit codes, output files checked before anything is recorded,
// the printed book in text and PDF, and the observations commands.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host/banco/motor.h"

#include "ambiente.h"
#include "host/banco/copia.h"
#include "host/banco/registrosapuracao.h"
#include "utilitarios.h"

namespace fs = std::filesystem;

namespace {

class LinhaDeComando : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / ("livro_cli_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    banco_ = NovoBanco("escrita.db");
    ASSERT_EQ(Rodar("db demo '" + banco_ + "'").Codigo, 0);
  }

  // Where a new database goes: a SQLite file of the scratch folder, or a schema of its own on the
  // office server when the suite runs on one.
  std::string NovoBanco(const std::string& arquivo) {
    if (const std::string servidor = ServidorDeTeste(); !servidor.empty()) return EsquemaNovo(servidor);
    for (const char* fim : {"", "-wal", "-shm"}) fs::remove(Arquivo(arquivo) + fim);
    return Arquivo(arquivo);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the program with the arguments (shell syntax), standard input closed.
  TResultado Rodar(const std::string& argumentos) { return RodarPrograma(dir_, argumentos); }
  TResultado Imprimir(const std::string& opcoes) { return Rodar("imprimir --db '" + banco_ + "' --filial 1 " + opcoes); }

  // Rows recorded by settlements, print jobs and book numbering.
  std::string Gravado() {
    banco::TBanco db(banco_);
    std::string r;
    for (const char* t : {"ES02_LCTOAPUR", "TR04_IMPOSTO", "HS_PAGINASIMPRESSAS", "HS_NUMERACAOLIVRO"}) {
      banco::TComando q(db, std::string("SELECT COUNT(*) FROM ") + t);
      q.executeStep();
      r += std::string(t) + "=" + std::to_string(q.getColumn(0).getInt()) + " ";
    }
    return r;
  }

  std::string Arquivo(const std::string& nome) { return (dir_ / nome).string(); }

  fs::path dir_;
  std::string banco_;
};


// ---------------------------------------------------------------------------------------------
// Request errors: message on stderr, exit code 1, nothing recorded

TEST_F(LinhaDeComando, DatasInvalidasSaoRecusadasComAMensagemDoFormulario) {
  const std::string antes = Gravado();
  for (const char* opcoes : {"--inicio 32/01/2026", "--inicio 01/01/2026 --fim 31/02/2026", "--fim ontem"}) {
    TResultado r = Imprimir(std::string(opcoes) + " --saida '" + Arquivo("l.txt") + "'");
    EXPECT_EQ(r.Codigo, 1) << opcoes;
    EXPECT_EQ(r.Erro, "Aviso: Data inválida.\n");  // the form's warning, once
  }
  TResultado r = Imprimir("--inicio 01/02/2026 --fim 31/01/2026 --saida '" + Arquivo("l.txt") + "'");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_EQ(r.Erro, "Aviso: A data final deve ser maior que a data inicial.\n");
  EXPECT_EQ(Gravado(), antes);
  EXPECT_FALSE(fs::exists(Arquivo("l.txt")));
}

TEST_F(LinhaDeComando, EstabelecimentoDesconhecido) {
  TResultado r = Rodar("imprimir --db '" + banco_ + "' --filial 99 --saida '" + Arquivo("l.txt") + "'");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "Erro: Estabelecimento não encontrado: 99");
  r = Rodar("observacoes listar --db '" + banco_ + "' --filial 99");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "Erro: Estabelecimento não encontrado: 99");
}

TEST_F(LinhaDeComando, CodigoDeImpostoDesconhecidoParaAntesDeApurar) {
  const std::string antes = Gravado();
  TResultado r = Imprimir("--inicio 01/01/2026 --impostos 2001,9999 --saida '" + Arquivo("l.txt") + "'");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "Erro: Código de imposto desconhecido: 9999");
  EXPECT_EQ(Gravado(), antes);
}

TEST_F(LinhaDeComando, ArquivoQueNaoEhBancoDeDados) {
  std::ofstream(Arquivo("texto.db")) << "isto não é um banco\n";
  TResultado r = Rodar("imprimir --db '" + Arquivo("texto.db") + "' --filial 1 --saida '" + Arquivo("l.txt") + "'");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_EQ(r.Erro.rfind("Erro: ", 0), 0u) << r.Erro;
  r = Rodar("imprimir --db '" + Arquivo("nao-existe.db") + "' --filial 1 --saida '" + Arquivo("l.txt") + "'");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_EQ(r.Erro.rfind("Erro: ", 0), 0u) << r.Erro;
  EXPECT_FALSE(fs::exists(Arquivo("nao-existe.db")));
}

TEST_F(LinhaDeComando, BancoDeOutroProgramaOuDeOutraVersao) {
  {
    banco::TBanco alheio(Arquivo("alheio.db"), banco::kEscrita | banco::kCriar);
    alheio.exec("CREATE TABLE CLIENTES (ID INTEGER)");
  }
  TResultado r = Rodar("apurar --db '" + Arquivo("alheio.db") + "' --filial 1 --inicio 01/01/2026 --fim 31/01/2026");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "não é um banco de dados do livro de ICMS");
  {
    banco::TBanco db(banco_, banco::kEscrita);
    db.exec("UPDATE HS_VERSAO SET VERSAO = 99");
  }
  r = Rodar("apurar --db '" + banco_ + "' --filial 1 --inicio 01/01/2026 --fim 31/01/2026");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "versão de esquema 99");
}

// Roles belong to an office server; a SQLite file has one user, and the command says so.
TEST_F(LinhaDeComando, PapeisNumArquivoSQLiteNaoFazemNada) {
  if (!ServidorDeTeste().empty()) GTEST_SKIP() << "o escritório do teste está no servidor; este caso é o do arquivo";
  const std::string antes = Gravado();
  const TResultado r = Rodar("db papeis '" + banco_ + "' --criar-contador ana --empresas 1");
  EXPECT_EQ(r.Codigo, 0) << r.Erro;
  EXPECT_EQ(r.Saida, "Um arquivo SQLite não tem papéis: quem o abre lê e grava tudo nele. Nada foi feito.\n");
  EXPECT_EQ(Gravado(), antes);
}

TEST_F(LinhaDeComando, PedidoForaDosLimitesOuNoMeioDeUmPeriodoNaoGravaNada) {
  const std::string antes = Gravado();
  // a start in mid-February used to settle half a month beside the real one
  TResultado r = Imprimir("--inicio 15/02/2026 --saida '" + Arquivo("l.txt") + "'");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "Erro: A data inicial 15/02/2026 não é o início de um período de apuração");
  EXPECT_CONTEM(r.Erro, "O período mais próximo começa em 01/02/2026.");
  r = Rodar("apurar --db '" + banco_ + "' --filial 1 --inicio 16/02/2026 --fim 31/03/2026");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "O período mais próximo começa em 01/03/2026.");
  // the year 9999 used to run for minutes and write 209,640 rows
  r = Rodar("apurar --db '" + banco_ + "' --filial 1 --inicio 01/01/2026 --fim 31/12/9999");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "Erro: A data 31/12/9999 está fora das datas que a apuração aceita (01/01/1900 a 31/12/2099).");
  // the header prints five digits: this page printed as "FOLHA -2147483648"
  r = Imprimir("--inicio 01/01/2026 --definitivo --pagina 2147483647 --saida '" + Arquivo("l.txt") + "'");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "Número da página inválido: \"2147483647\". Informe um número de 1 a 99999.");
  EXPECT_EQ(Gravado(), antes);
  EXPECT_FALSE(fs::exists(Arquivo("l.txt")));
}

TEST_F(LinhaDeComando, FimNoMeioDeUmPeriodoDizQuaisDiasFicaramDeFora) {
  TResultado r = Rodar("apurar --db '" + banco_ + "' --filial 1 --inicio 01/01/2026 --fim 15/02/2026 --impostos icms");
  ASSERT_EQ(r.Codigo, 0) << r.Erro;
  EXPECT_CONTEM(r.Saida + r.Erro, "os dias de 01/02/2026 a 15/02/2026 não completam um período e ficaram de fora.");
  EXPECT_CONTEM(Gravado(), "TR04_IMPOSTO=1 ");
}

TEST_F(LinhaDeComando, SaidaQueNaoPodeSerGravadaFalhaAntesDeApurar) {
  const std::string antes = Gravado();
  TResultado r = Imprimir("--inicio 01/01/2026 --saida '" + Arquivo("l.txt") + "' --saida '" +
                          Arquivo("falta/pasta/l.pdf") + "'");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "Erro: Não é possível gravar o arquivo de saída: " + Arquivo("falta/pasta/l.pdf"));
  EXPECT_EQ(Gravado(), antes);
  EXPECT_FALSE(fs::exists(Arquivo("l.txt")));  // the test of the first output left nothing behind

  r = Imprimir("--inicio 01/01/2026 --saida '" + Arquivo("l.doc") + "'");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "deve terminar em .pdf ou .txt");
  r = Imprimir("--inicio 01/01/2026 --saida '" + Arquivo("a.txt") + "' --saida '" + Arquivo("b.txt") + "'");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_EQ(Gravado(), antes);

  // A link planted where the book goes, to a file that does not exist: the check of the output
  // creates nothing through it, and the book replaces the link.
  fs::create_symlink(Arquivo("alvo.txt"), Arquivo("ligado.txt"));
  r = Imprimir("--inicio 01/01/2026 --saida '" + Arquivo("ligado.txt") + "'");
  EXPECT_EQ(r.Codigo, 0) << r.Erro;
  EXPECT_FALSE(fs::exists(Arquivo("alvo.txt")));
  EXPECT_FALSE(fs::is_symlink(Arquivo("ligado.txt")));
}

TEST_F(LinhaDeComando, OpcoesIncoerentesSaoErrosDeUso) {
  TResultado r = Imprimir("--livro 3 --saida '" + Arquivo("l.txt") + "'");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "Erro: ");
  EXPECT_CONTEM(r.Erro, "--definitivo");
  r = Imprimir("--sextos --oitavos --saida '" + Arquivo("l.txt") + "'");
  EXPECT_EQ(r.Codigo, 1);
}

// ---------------------------------------------------------------------------------------------
// Printing

TEST_F(LinhaDeComando, ImprimeOLivroEmTextoEPdf) {
  const std::string antes = Gravado();
  TResultado r = Imprimir("--inicio 01/01/2026 --saida '" + Arquivo("livro.txt") + "' --saida '" + Arquivo("livro.pdf") + "'");
  ASSERT_EQ(r.Codigo, 0) << r.Erro;
  EXPECT_CONTEM(r.Saida, "01/01/2026 a 31/01/2026");
  EXPECT_CONTEM(r.Saida, "Páginas impressas: ");
  EXPECT_CONTEM(r.Saida, "Arquivo gravado: " + Arquivo("livro.txt"));
  EXPECT_CONTEM(r.Saida, "Arquivo gravado: " + Arquivo("livro.pdf"));
  EXPECT_NE(Gravado(), antes);  // the settlement and the job were recorded

  const std::string txt = Ler(Arquivo("livro.txt"));
  EXPECT_CONTEM(txt, "FOLHA.............: 00002  LIVRO....: 00001");
  EXPECT_CONTEM(txt, "01/01/2026 A 31/01/2026");
  EXPECT_EQ(Ler(Arquivo("livro.pdf")).rfind("%PDF-", 0), 0u);
}

TEST_F(LinhaDeComando, ImpressaoDefinitivaUsaOLivroEAPaginaDados) {
  TResultado r = Imprimir("--inicio 01/01/2026 --definitivo --livro 4 --pagina 31 --sextos --saida '" +
                          Arquivo("livro.txt") + "'");
  ASSERT_EQ(r.Codigo, 0) << r.Erro;
  EXPECT_CONTEM(Ler(Arquivo("livro.txt")), "FOLHA.............: 00031  LIVRO....: 00004");
  banco::TBanco db(banco_);
  banco::TComando q(db, "SELECT LIVRO, PAGINAINICIAL FROM HS_NUMERACAOLIVRO WHERE IDFILIAL = 1");
  ASSERT_TRUE(q.executeStep());
  EXPECT_EQ(q.getColumn(0).getInt(), 4);
  EXPECT_EQ(q.getColumn(1).getInt(), 31);
}

// A typed folha is taken as typed, never over another period's: with January on folhas 2 to 7 of
// book 1 (the term on 1), February from folha 5 is refused, and so is folha 1; nothing is written.
TEST_F(LinhaDeComando, FolhaDigitadaNaoSobrepoeOutroPeriodo) {
  ASSERT_EQ(Imprimir("--inicio 01/01/2026 --definitivo --saida '" + Arquivo("janeiro.txt") + "'").Codigo, 0);
  TResultado r = Imprimir("--inicio 01/02/2026 --definitivo --pagina 5 --saida '" + Arquivo("l.txt") + "'");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "A folha 5 do livro 1 já foi impressa para o período iniciado em 01/01/2026 (folhas 2 a 7); a "
                        "primeira folha livre do livro é a 8.");
  r = Imprimir("--inicio 01/02/2026 --definitivo --pagina 1 --saida '" + Arquivo("l.txt") + "'");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "a folha 1 é a do termo de abertura");
  EXPECT_FALSE(fs::exists(Arquivo("l.txt")));
  // What the refused prints settled stays; no numbering and no job were added.
  banco::TBanco db(banco_);
  EXPECT_EQ(db.execAndGet("SELECT COUNT(*) FROM HS_NUMERACAOLIVRO").getInt(), 1);
  EXPECT_EQ(db.execAndGet("SELECT COUNT(*) FROM HS_PAGINASIMPRESSAS").getInt(), 1);
}

// Two definitive prints of the same book at once, by two processes (January and February with the
// folhas the office proposes): whichever takes the database first chooses and records its folhas,
// the other waits and goes on after it, or is refused when its period comes before the one just
// recorded. Whatever the order, no folha of the book is recorded twice and each book printed
// carries the folhas recorded for it. Five rounds on a fresh database each.
TEST_F(LinhaDeComando, DuasImpressoesDefinitivasAoMesmoTempoNuncaDividemFolhas) {
  for (int rodada = 0; rodada < 5; ++rodada) {
    SCOPED_TRACE("rodada " + std::to_string(rodada));
    banco_ = NovoBanco("escrita.db");
    ASSERT_EQ(Rodar("db demo '" + banco_ + "'").Codigo, 0);
    auto comando = [&](const char* inicio, const char* nome) {
      return std::string("'") + LIVRO_BIN + "' imprimir --db '" + banco_ + "' --filial 1 --inicio " + inicio +
             " --definitivo --saida '" + Arquivo(nome) + ".txt' >'" + Arquivo(nome) + ".out' 2>&1 </dev/null";
    };
    fs::remove(Arquivo("jan.txt"));
    fs::remove(Arquivo("fev.txt"));
    const std::string ambos = comando("01/01/2026", "jan") + " & " + comando("01/02/2026", "fev") + " & wait";
    ASSERT_EQ(std::system(ambos.c_str()), 0);

    banco::TBanco db(banco_);
    banco::TComando q(db, "SELECT DATA, PAGINAINICIAL, PAGINAFINAL FROM HS_NUMERACAOLIVRO WHERE IDFILIAL = 1 AND LIVRO = 1"
                            " ORDER BY PAGINAINICIAL");
    int fimAnterior = 1;  // folha 1: the opening term
    int periodos = 0;
    while (q.executeStep()) {
      ++periodos;
      const std::string data = q.getColumn(0).getString();
      const int inicial = q.getColumn(1).getInt(), final = q.getColumn(2).getInt();
      EXPECT_EQ(inicial, fimAnterior + 1) << data;
      fimAnterior = final;
      // The book printed for that period carries exactly those folhas.
      const std::string livro = Ler(Arquivo(data == "2026-01-01" ? "jan.txt" : "fev.txt"));
      auto folha = [](int n) {
        const std::string t = std::to_string(n);
        return "FOLHA.............: " + std::string(5 - t.size(), '0') + t;
      };
      EXPECT_CONTEM(livro, folha(inicial));
      EXPECT_CONTEM(livro, folha(final));
      EXPECT_EQ(livro.find(folha(final + 1)), std::string::npos);
    }
    // January, then February after it; or February first and January refused as earlier.
    const std::string jan = Ler(Arquivo("jan.out"));
    if (periodos == 1) EXPECT_CONTEM(jan, "anterior a ele, não pode ser impresso depois nesse livro");
    else EXPECT_EQ(periodos, 2) << jan << Ler(Arquivo("fev.out"));
  }
}

// The page options: the continuous form, accents kept, and single-sided although the office
// prints double-sided by default.
TEST_F(LinhaDeComando, PapelAcentosESoFrente) {
  {
    banco::TBanco db(banco_, banco::kEscrita);
    db.exec("UPDATE HS_CONFIG SET VALOR = '2' WHERE CHAVE = 'FRENTE_VERSO'");
  }
  TResultado r = Imprimir("--inicio 01/01/2026 --papel formulario --acentos --sem-frente-verso --saida '" +
                          Arquivo("livro.txt") + "' --saida '" + Arquivo("livro.pdf") + "'");
  ASSERT_EQ(r.Codigo, 0) << r.Erro;
  const std::string txt = Ler(Arquivo("livro.txt"));
  EXPECT_CONTEM(txt, "R E G I S T R O   D E   A P U R A Ç Ã O");
  EXPECT_CONTEM(txt, "|FOLHA.............: 00002");
  banco::TBanco db(banco_);
  EXPECT_EQ(db.execAndGet("SELECT FRENTEVERSO FROM HS_PAGINASIMPRESSAS").getInt(), 1);
  if (std::system("command -v pdfinfo >/dev/null 2>&1") == 0) {
    ASSERT_EQ(std::system(("pdfinfo '" + Arquivo("livro.pdf") + "' > '" + Arquivo("info") + "'").c_str()), 0);
    EXPECT_CONTEM(Ler(Arquivo("info")), "684 x 792 pts");
  }
  EXPECT_EQ(Imprimir("--papel a3 --saida '" + Arquivo("l.txt") + "'").Codigo, 1);
  EXPECT_EQ(Imprimir("--frente-verso --sem-frente-verso --saida '" + Arquivo("l.txt") + "'").Codigo, 1);
}

// The terms on demand: the opening term of book 1 states the configured 100 pages; after January
// was printed definitively (pages 2 to 7), the closing term of the still open book takes page 8.
// A book that was never printed has no closing term.
// Per page of a PDF (pdftohtml -xml at 1:1), the font sizes of its texts and the tops of its lines,
// in points.
struct TPaginaPdf { std::set<int> Tamanhos; std::set<int> Topos; };
std::vector<TPaginaPdf> PaginasPdf(const std::string& pdf) {
  std::vector<TPaginaPdf> r;
  std::map<std::string, int> tamanho;
  std::istringstream in(Executar("pdftohtml -xml -stdout -i -zoom 1 '" + pdf + "'"));
  const std::regex fonte(R"re(<fontspec id="(\d+)" size="(\d+)")re"), texto(R"re(<text top="(\d+)".* font="(\d+)")re");
  std::smatch m;
  for (std::string l; std::getline(in, l);) {
    if (l.rfind("<page ", 0) == 0) r.emplace_back();
    if (std::regex_search(l, m, fonte)) tamanho[m[1]] = std::stoi(m[2]);
    if (!r.empty() && std::regex_search(l, m, texto)) {
      r.back().Tamanhos.insert(tamanho.at(m[2]));
      r.back().Topos.insert(std::stoi(m[1]));
    }
  }
  return r;
}

TEST_F(LinhaDeComando, TermosDeAberturaEEncerramento) {
  const std::string base = "termos --db '" + banco_ + "' --filial 1 --livro 1 ";
  TResultado r = Rodar(base + "--abertura --data 02/01/2026 --saida '" + Arquivo("abertura.txt") + "'");
  ASSERT_EQ(r.Codigo, 0) << r.Erro;
  std::string t = Ler(Arquivo("abertura.txt"));
  EXPECT_CONTEM(t, "T E R M O   D E   A B E R T U R A");
  // In the 10-cpi type, 70 characters a line, the block placed at the grid's columns 46 to 115;
  // a term page has 66 lines even in a book of 88.
  EXPECT_CONTEM(t, "\n" + std::string(45, ' ') + "Contem este livro 100 folhas, numeradas tipograficamente de 1 a 100,\n" +
                       std::string(45, ' ') + "que servira de Livro Registro de Apuracao do ICMS, modelo P9, numero\n");
  EXPECT_CONTEM(t, "Sao Paulo, 2 de janeiro de 2026.");
  EXPECT_EQ(std::count(t.begin(), t.end(), '\n'), 66);

  r = Rodar(base + "--encerramento --saida '" + Arquivo("encerramento.txt") + "'");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "não tem páginas impressas em definitivo");

  ASSERT_EQ(Imprimir("--inicio 01/01/2026 --definitivo --saida '" + Arquivo("livro.txt") + "' --saida '" +
                     Arquivo("livro.pdf") + "'").Codigo, 0);
  if (Existe("pdftohtml")) {
    // A4 at 10 mm margins: the term's lines 784.2 / 66 = 11.9 pt apart, its type limited by that
    // pitch (DejaVu Sans Mono's box is 1.164 of its size: 10.2 pt); the book's pages keep 88 lines,
    // 8.9 pt apart, and their 20-cpi type (535.9 / 160 columns / 0.602 = 5.6 pt).
    const std::vector<TPaginaPdf> paginas = PaginasPdf(Arquivo("livro.pdf"));
    ASSERT_GE(paginas.size(), 2u);
    EXPECT_GE(*paginas[0].Tamanhos.begin(), 10);
    EXPECT_LE(*paginas[1].Tamanhos.begin(), 6);
    auto menorDistancia = [](const std::set<int>& topos) {
      int menor = 1000;
      for (auto a = topos.begin(), b = std::next(a); b != topos.end(); ++a, ++b) menor = std::min(menor, *b - *a);
      return menor;
    };
    EXPECT_GE(menorDistancia(paginas[0].Topos), 11);
    EXPECT_LE(menorDistancia(paginas[1].Topos), 9);
  }
  r = Rodar(base + "--encerramento --saida '" + Arquivo("encerramento.txt") + "'");
  ASSERT_EQ(r.Codigo, 0) << r.Erro;
  EXPECT_CONTEM(r.Saida, "ainda não está completo");
  t = Ler(Arquivo("encerramento.txt"));
  EXPECT_CONTEM(t, "T E R M O   D E   E N C E R R A M E N T O");
  EXPECT_CONTEM(t, "LIVRO: 00001   FOLHA: 00008");
  EXPECT_CONTEM(t, "Contem este livro 8 folhas, numeradas tipograficamente de 1 a 8, que\n");
  EXPECT_CONTEM(t, "Sao Paulo, 31 de janeiro de 2026.");
}

TEST_F(LinhaDeComando, IntervaloSemPeriodoCompletoNaoImprimeNemGrava) {
  const std::string antes = Gravado();
  TResultado r = Imprimir("--inicio 01/01/2026 --fim 20/01/2026 --saida '" + Arquivo("livro.pdf") + "'");
  ASSERT_EQ(r.Codigo, 0) << r.Erro;
  EXPECT_CONTEM(r.Saida, "Nenhum período de apuração completo");
  EXPECT_FALSE(fs::exists(Arquivo("livro.pdf")));
  EXPECT_EQ(Gravado(), antes);
}

TEST_F(LinhaDeComando, RespostasRoteirizadasAparecemNoResumo) {
  // Double-sided definitive book going on at an even page: the eject question, answered no.
  std::ofstream(Arquivo("respostas.txt")) << "# ejetar a folha?\nnao\n";
  TResultado r = Imprimir("--inicio 01/01/2026 --definitivo --pagina 8 --frente-verso --respostas '" + Arquivo("respostas.txt") +
                          "' --saida '" + Arquivo("livro.txt") + "'");
  ASSERT_EQ(r.Codigo, 0) << r.Erro;
  EXPECT_CONTEM(r.Saida, "Deseja ejetar a folha e imprimir a página inicial no verso?  => NAO");
}

// ---------------------------------------------------------------------------------------------
// Observations

TEST_F(LinhaDeComando, GravarListarAlterarEExcluirObservacao) {
  const std::string base = "--db '" + banco_ + "' --filial 1 ";
  std::ofstream(Arquivo("obs.txt")) << "primeira\nsegunda\n";
  TResultado r = Rodar("observacoes gravar " + base + "--imposto 4019 --data 20/01/2026 --arquivo '" + Arquivo("obs.txt") + "'");
  ASSERT_EQ(r.Codigo, 0) << r.Erro;
  EXPECT_CONTEM(r.Saida, "Observação incluída: 20/01/2026, imposto 4019.");

  r = Rodar("observacoes listar " + base + "--inicio 01/01/2026 --fim 31/01/2026");
  ASSERT_EQ(r.Codigo, 0) << r.Erro;
  EXPECT_CONTEM(r.Saida, "Comercial Exemplo Ltda - 01/01/2026 a 31/01/2026");
  EXPECT_CONTEM(r.Saida, "20/01/2026  4019     primeira segunda\n");
  EXPECT_CONTEM(r.Saida, "31/01/2026  2001");

  r = Rodar("observacoes gravar " + base + "--imposto 4019 --data 2026-01-20 --texto revista");
  ASSERT_EQ(r.Codigo, 0) << r.Erro;
  EXPECT_CONTEM(r.Saida, "Observação alterada");
  r = Rodar("observacoes listar " + base + "--imposto 4019");
  EXPECT_EQ(r.Saida.find("primeira"), std::string::npos) << r.Saida;
  EXPECT_CONTEM(r.Saida, "20/01/2026  4019     revista\n");
  EXPECT_EQ(r.Saida.find("2001"), std::string::npos) << r.Saida;

  std::ofstream(Arquivo("nao.txt")) << "nao\n";
  r = Rodar("observacoes excluir " + base + "--imposto 4019 --data 20/01/2026 --respostas '" + Arquivo("nao.txt") + "'");
  ASSERT_EQ(r.Codigo, 0) << r.Erro;
  EXPECT_CONTEM(r.Saida, "Observação mantida.");
  EXPECT_CONTEM(r.Saida, "Deseja excluir esta observação? => NAO");
  r = Rodar("observacoes excluir " + base + "--imposto 4019 --data 20/01/2026");  // no terminal: default no
  EXPECT_CONTEM(r.Saida, "Observação mantida.");
  r = Rodar("observacoes excluir " + base + "--imposto 4019 --data 20/01/2026 --sim");
  ASSERT_EQ(r.Codigo, 0) << r.Erro;
  EXPECT_CONTEM(r.Saida, "Observação excluída.");
  r = Rodar("observacoes listar " + base + "--imposto 4019");
  EXPECT_CONTEM(r.Saida, "Nenhuma observação.");
}

TEST_F(LinhaDeComando, ObservacaoComImpostoOuDataForaDasRegras) {
  const std::string base = "observacoes gravar --db '" + banco_ + "' --filial 1 --texto x ";
  TResultado r = Rodar(base + "--imposto 4000 --data 20/01/2026");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_EQ(r.Erro, "Erro: Imposto inválido.\n");
  r = Rodar(base + "--imposto 2001 --data 20/13/2026");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_EQ(r.Erro, "Aviso: Data inválida.\n");
  r = Rodar(base + "--imposto 2001 --data 01/02/2026 --inicio 01/01/2026 --fim 31/01/2026");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_EQ(r.Erro, "Erro: Data maior que a data final do livro\n");
  r = Rodar(base + "--imposto 2001 --data 31/12/2025 --inicio 01/01/2026 --fim 31/01/2026");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_EQ(r.Erro, "Erro: Data menor que a data inicial do livro\n");

  banco::TBanco db(banco_);
  banco::TComando q(db, "SELECT COUNT(*) FROM ES02_LIVROOBS");
  q.executeStep();
  EXPECT_EQ(q.getColumn(0).getInt(), 1);  // only the demo's
}

// The client's EFD file in three commands on a new office database: import (the database is
// created, the payment codes come from the client's E116/E250), comparison (exit 0 when block E
// matches, 4 with the differing field marked), block E out as Latin-1. A corrupt file is refused
// with its line and nothing is written.
TEST_F(LinhaDeComando, ArquivoEFDImportadoConferidoEExportado) {
  const std::string cliente = std::string(LIVRO_TESTES_DIR) + "/efd/cliente_sp_jan2026.txt";
  const std::string novo = Arquivo("escritorio.db");
  TResultado r = Rodar("efd importar --db '" + novo + "' '" + cliente + "'");
  ASSERT_EQ(r.Codigo, 0) << r.Erro;
  EXPECT_CONTEM(r.Saida, "Banco criado: " + novo);
  EXPECT_CONTEM(r.Saida, "Documentos: 4 de entrada, 5 de saída, 9 itens");
  {
    // E116 due 20/02/2026 and E250 due 09/02/2026, for January: day 20 and day 9 of the next month.
    banco::TBanco db(novo);
    banco::TComando q(db, "SELECT group_concat(UF || ' ' || CODIGO || ' ' || TPDIAVENCTO || ' ' || DIAVENCTO, ', ')"
                            " FROM (SELECT * FROM ES02_CODIGOREC ORDER BY CODIGO)");
    q.executeStep();
    EXPECT_EQ(q.getColumn(0).getString(), "SP 046-2 0 20, SP 063-2 0 9");
  }
  r = Rodar("efd conferir --db '" + novo + "' '" + cliente + "'");
  EXPECT_EQ(r.Codigo, 0) << r.Saida << r.Erro;
  EXPECT_CONTEM(r.Saida, "O bloco E do arquivo confere com a apuração do livro.");

  std::string texto = Ler(cliente);
  texto.replace(texto.find("|E110|4416,00|"), 14, "|E110|4426,00|");
  const std::string errado = Arquivo("errado.txt");
  std::ofstream(errado, std::ios::binary) << texto;
  r = Rodar("efd conferir --db '" + novo + "' '" + errado + "'");
  EXPECT_EQ(r.Codigo, 4);
  EXPECT_CONTEM(r.Saida, "02 VL_TOT_DEBITOS                           4.426,00          4.416,00             10,00  <==");
  EXPECT_CONTEM(r.Saida, "1 campo difere entre o arquivo e a apuração do livro.");

  ASSERT_EQ(Rodar("apurar --db '" + novo + "' --filial 1 --inicio 01/01/2026 --fim 31/01/2026").Codigo, 0);
  const std::string bloco = Arquivo("bloco_e.txt");
  r = Rodar("efd exportar --db '" + novo + "' --filial 1 --inicio 01/01/2026 --fim 31/01/2026 --saida '" + bloco + "'");
  ASSERT_EQ(r.Codigo, 0) << r.Erro;
  EXPECT_CONTEM(Ler(bloco), "|E111|SP029999|CR\xC9" "DITO DE PRODUTOR|30,00|\r\n");

  texto.replace(texto.find("|C190|000|6102|12,00|20000,00|"), 30, "|C190|000|6102|12,00|20.000,00|");
  std::ofstream(errado, std::ios::binary) << texto;
  const std::string antes = Ler(novo);
  r = Rodar("efd importar --db '" + novo + "' '" + errado + "'");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "errado.txt, linha 16, registro C190, campo 05 (VL_OPR): valor inválido \"20.000,00\"");
  EXPECT_EQ(Ler(novo), antes);
  // Refused into a database the import would have created: none is left behind.
  const std::string outro = Arquivo("outro.db");
  EXPECT_EQ(Rodar("efd importar --db '" + outro + "' '" + errado + "'").Codigo, 1);
  EXPECT_FALSE(std::filesystem::exists(outro));
}

// ---------------------------------------------------------------------------------------------
// The whole office in one run

// Every row of every table of a database, in key order.
std::string TodasAsLinhas(const std::string& alvo) {
  banco::TBanco db(alvo);
  return TodasAsLinhasDo(db);
}

// The line of the batch's table that begins with `inicio`, and the lines after it up to the next
// establishment.
std::string LinhasDoLote(const std::string& saida, const std::string& inicio) {
  const size_t p = saida.find("\n" + inicio);
  if (p == std::string::npos) return "(sem a linha " + inicio + ")";
  size_t fim = p + 1;
  do fim = saida.find('\n', fim + 1);
  while (fim != std::string::npos && fim + 3 < saida.size() && saida.compare(fim + 1, 8, std::string(8, ' ')) == 0);
  return saida.substr(p + 1, fim == std::string::npos ? std::string::npos : fim - p - 1);
}

// The nineteen establishments of the demo office settled for January 2026 in one run leave every
// row of every table as settling them one by one with `apurar`, each in a process of its own and
// in the same order, does - with the accounting posting, and the RS auxiliary data of establishment
// 3 answered from the batch's section of the answers file. The table shows establishment 1 with the
// figures of the demo office's header: regular ICMS due 10,373.58 and no credit carried; ICMS-ST
// RJ 1,026.46 and MG 2,138.27 of debits without credits.
TEST_F(LinhaDeComando, LoteApuraCadaEstabelecimentoComoSozinho) {
  const std::string sozinhos = NovoBanco("sozinhos.db");
  ASSERT_EQ(Rodar("db demo '" + sozinhos + "'").Codigo, 0);
  const std::string dados = "edtFaturamento=131.500,00; edtEmpregados=12";
  std::ofstream(Arquivo("lote.txt")) << "# nada para os outros\n[filial 3]\n" << dados << "\n";
  std::ofstream(Arquivo("filial3.txt")) << dados << "\n";
  std::ofstream(Arquivo("nenhuma.txt")) << "# nada\n";

  const TResultado lote = Rodar("lote --db '" + banco_ + "' --inicio 01/01/2026 --fim 31/01/2026 --contabilizar --respostas '" +
                                Arquivo("lote.txt") + "'");
  ASSERT_EQ(lote.Codigo, 0) << lote.Saida << lote.Erro;
  EXPECT_CONTEM(lote.Saida, "19 estabelecimento(s)");
  EXPECT_CONTEM(lote.Saida, "19 apurado(s).");
  const std::string matriz = LinhasDoLote(lote.Saida, "     1  ");
  for (const char* trecho : {"2001", "10.373,58", "4019", "1.026,46", "4011", "2.138,27"}) EXPECT_CONTEM(matriz, trecho);
  EXPECT_CONTEM(lote.Saida, "filial 3 - Sul-Norte - Porto Alegre\n    [dados] Dados acessórios => " + dados);

  std::vector<int64_t> filiais;
  {
    banco::TBanco db(sozinhos);
    banco::TComando q(db, "SELECT IDFILIAL FROM SC00_FILIAL ORDER BY 1");
    while (q.executeStep()) filiais.push_back(q.getColumn(0).getInt64());
  }
  ASSERT_EQ(filiais.size(), 19u);
  for (int64_t f : filiais) {
    const TResultado r = Rodar("apurar --db '" + sozinhos + "' --filial " + std::to_string(f) +
                               " --inicio 01/01/2026 --fim 31/01/2026 --contabilizar --respostas '" +
                               Arquivo(f == 3 ? "filial3.txt" : "nenhuma.txt") + "'");
    ASSERT_EQ(r.Codigo, 0) << f << r.Erro;
  }
  EXPECT_EQ(TodasAsLinhas(banco_), TodasAsLinhas(sozinhos));
}

// An establishment whose data the run refuses is listed with its error and the batch goes on (exit
// 5); the books of the others are the very files `imprimir` writes. No establishment to settle is
// an error before anything runs.
TEST_F(LinhaDeComando, LoteSegueDepoisDeUmErroEGravaOsLivros) {
  {
    banco::TBanco db(banco_, banco::kEscrita);
    db.exec("INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL)"
            " SELECT 99001, MIN(IDSAIDA), 999, 10 FROM ES02_SAIDA WHERE IDFILIAL = 2 AND DATAEMISSAO LIKE '2026-01-%'");
  }
  const std::string pasta = Arquivo("livros");
  TResultado r = Rodar("lote --db '" + banco_ + "' --inicio 01/01/2026 --fim 31/01/2026 --empresa 1 --livros '" + pasta + "'");
  EXPECT_EQ(r.Codigo, 5) << r.Saida << r.Erro;
  EXPECT_CONTEM(r.Saida, "2 estabelecimento(s)");
  EXPECT_CONTEM(r.Saida, "1 apurado(s), 1 não.");
  EXPECT_CONTEM(LinhasDoLote(r.Saida, "     2  "), "ERRO");
  EXPECT_CONTEM(r.Erro, "filial 2 - Exemplo Alimentos - Campinas: ");
  EXPECT_CONTEM(r.Erro, "ES02_SAIDADET IDSAIDADET 99001: IDCFOP 999 não existe em ES02_CFOP");
  EXPECT_TRUE(fs::exists(pasta + "/livro-1-20260101-20260131.pdf"));
  EXPECT_FALSE(fs::exists(pasta + "/livro-2-20260101-20260131.txt"));

  const std::string outro = Arquivo("outro.db");
  ASSERT_EQ(Rodar("db demo '" + outro + "'").Codigo, 0);
  ASSERT_EQ(Rodar("imprimir --db '" + outro + "' --filial 1 --inicio 01/01/2026 --fim 31/01/2026 --saida '" +
                  Arquivo("sozinho.txt") + "'").Codigo, 0);
  EXPECT_EQ(Ler(pasta + "/livro-1-20260101-20260131.txt"), Ler(Arquivo("sozinho.txt")));

  // A bad entry of one establishment refuses that one only: the PA establishment of company 2,
  // and its four others are settled.
  {
    banco::TBanco db(banco_, banco::kEscrita);
    SemVerificacoes(db);
    db.exec("INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA, DESCRICAO)"
            " VALUES (6, 1, 1, '2001', 10, '2026-01-5', 'data sem zero')");
  }
  r = Rodar("lote --db '" + banco_ + "' --inicio 01/01/2026 --fim 31/01/2026 --empresa 2");
  EXPECT_EQ(r.Codigo, 5) << r.Saida << r.Erro;
  EXPECT_CONTEM(r.Saida, "4 apurado(s), 1 não.");
  EXPECT_CONTEM(r.Erro, "do estabelecimento 4 da empresa 20, ES02_LCTOAPUR");
  EXPECT_CONTEM(r.Erro, "DATA '2026-01-5' não é uma data AAAA-MM-DD");

  r = Rodar("lote --db '" + banco_ + "' --inicio 01/01/2026 --fim 31/01/2026 --empresa 99");
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "Nenhum estabelecimento ativo até 31/01/2026 na empresa 99.");
}

// Rows of every table, and the settlement's records with the ids the database numbers taken by
// establishment and rank (host/banco/registrosapuracao.h).
std::string Contagens(const std::string& alvo) {
  banco::TBanco db(alvo);
  std::string r;
  for (const std::string& t : banco::TabelasDoEscritorio(db)) r += t + "=" + std::to_string(banco::ContarLinhas(db, t)) + "\n";
  return r;
}
std::string Registros(const std::string& alvo, int64_t filial = 0) {
  banco::TBanco db(alvo);
  return banco::RegistrosDaApuracao(db, filial);
}
int64_t Contar(const std::string& alvo, const std::string& sql) {
  banco::TBanco db(alvo);
  return db.execAndGet(sql).getInt64();
}

// The batch in two worker processes records what the serial batch records, row for row: the two
// workers' writes interleave, so the raw ids differ, and every settlement table is compared with
// each id taken as its establishment and rank; every table's count is the same. The table of the
// batch is the serial one. Establishment 1 has three taxes due in January (the demo office's header
// figures: regular ICMS 10,373.58, ST RJ 1,026.46 and ST MG 2,138.27), three TR04_IMPOSTO rows in
// each run. With the suite's server, the same on two of its schemas (without the accounting
// posting, which the server does not run yet: docs/servidor.md).
// An establishment that fails in a worker is listed with its error; the worker goes on with the
// next one and the exit code is 5.
TEST_F(LinhaDeComando, LoteEmDoisProcessosGravaOMesmoQueOSerial) {
  const std::string paralelo = Arquivo("paralelo.db");
  ASSERT_EQ(Rodar("db demo '" + paralelo + "'").Codigo, 0);
  std::ofstream(Arquivo("lote.txt")) << "[filial 3]\nedtFaturamento=131.500,00; edtEmpregados=12\n";
  auto lote = [&](const std::string& alvo, const std::string& extra) {
    return Rodar("lote --db '" + alvo + "' --inicio 01/01/2026 --fim 31/01/2026 --respostas '" + Arquivo("lote.txt") + "'" + extra);
  };
  auto tabela = [](const std::string& saida) { return saida.substr(saida.find('\n')); };
  const TResultado serial = lote(banco_, " --contabilizar"), dois = lote(paralelo, " --contabilizar --processos 2");
  ASSERT_EQ(serial.Codigo, 0) << serial.Erro;
  ASSERT_EQ(dois.Codigo, 0) << dois.Saida << dois.Erro;
  EXPECT_CONTEM(dois.Saida, " com 2 processos; 19 apurado(s).");
  EXPECT_EQ(tabela(dois.Saida), tabela(serial.Saida));
  EXPECT_EQ(Contar(paralelo, "SELECT COUNT(*) FROM TR04_IMPOSTO WHERE IDFILIAL = 1"), 3);
  EXPECT_EQ(Contagens(paralelo), Contagens(banco_));
  EXPECT_EQ(Registros(paralelo), Registros(banco_));
  // July 2006: the RS small business 70 settles again its company's RS ICMS-ST, 71's among it, so
  // the two must be taken in the serial order, by one worker.
  auto julho = [&](const std::string& alvo, const std::string& extra) {
    return Rodar("lote --db '" + alvo + "' --inicio 01/07/2006 --fim 31/07/2006" + extra).Codigo;
  };
  ASSERT_EQ(julho(banco_, ""), julho(paralelo, " --processos 3"));
  EXPECT_EQ(Registros(paralelo), Registros(banco_));

  if (const std::string servidor = ServidorDeTeste(); !servidor.empty()) {
    const std::string um = EsquemaNovo(servidor), outro = EsquemaNovo(servidor);
    for (const std::string& alvo : {um, outro}) ASSERT_EQ(Rodar("db demo '" + alvo + "'").Codigo, 0);
    ASSERT_EQ(lote(um, "").Codigo, 0);
    const TResultado r = lote(outro, " --processos 2");
    ASSERT_EQ(r.Codigo, 0) << r.Saida << r.Erro;
    EXPECT_EQ(Registros(outro), Registros(um));
  }

  // Establishment 2's bad CFOP refuses it alone (as in the serial batch above).
  {
    banco::TBanco db(paralelo, banco::kEscrita);
    db.exec("INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL)"
            " SELECT 99001, MIN(IDSAIDA), 999, 10 FROM ES02_SAIDA WHERE IDFILIAL = 2 AND DATAEMISSAO LIKE '2026-01-%'");
  }
  const TResultado erro = lote(paralelo, " --processos 3");
  EXPECT_EQ(erro.Codigo, 5) << erro.Saida << erro.Erro;
  EXPECT_CONTEM(erro.Saida, "18 apurado(s), 1 não.");
  EXPECT_CONTEM(erro.Erro, "filial 2 - Exemplo Alimentos - Campinas: ");
  EXPECT_CONTEM(erro.Erro, "IDCFOP 999 não existe em ES02_CFOP");
}

// db copiar: the demo office, with two tax rows the test adds (ids 500 and 501; the demo office
// records none), moved to a new file: the counts table shows 19 establishments (the demo's 1-7,
// 60-64, 70-71, 80-84), the one schema version row and the 2 tax rows on both sides, and the
// check settlement of establishment 1 gives the same records; the copy holds every row as the
// original. A target that holds an office is refused untouched. With the suite's server the office
// goes to a schema of it and back to another file, every row as it left; the server's numbering
// goes on right after the copied 501 (the check settlement's ids given back); the URI's password is
// never shown.
TEST_F(LinhaDeComando, CopiarEscritorioEntreMotores) {
  // The office starts in a SQLite file whichever engine the suite runs on.
  const std::string banco = Arquivo("origem.db");
  ASSERT_EQ(Rodar("db demo '" + banco + "'").Codigo, 0);
  {
    banco::TBanco db(banco, banco::kEscrita);
    db.exec("INSERT INTO TR04_IMPOSTO (IDIMPOSTO, IDEMPRESA, IDFILIAL, IMPOSTO, INICIO, FIM, VLRIMPOSTO)"
            " VALUES (500, 1, 1, '2001', '2025-11-01', '2025-11-30', 12.5), (501, 1, 2, '2001', '2025-11-01', '2025-11-30', 7)");
    // 3,000 more items of one exit: 13 columns a row, more than the 32,766 values a statement takes
    // if the rows were not sent in statements of 999 values at most (76 rows).
    db.exec("WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < 3000)"
            " INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, ALIQICMS, VLRCONTABIL, BCICMS, ICMS, ISENTASICMS,"
            " NTICMS, OUTRASICMS, BCICMSST, ICMSST, DEBITOST) SELECT 900000 + I, 1, 10, 18, 100, 100, 18, 0, 0, 0, 0, 0, 0 FROM N");
  }
  const std::string original = TodasAsLinhas(banco);
  auto copiar = [&](const std::string& de, const std::string& para) {
    return Rodar("db copiar --de '" + de + "' --para '" + para + "'");
  };
  auto conferir = [](const TResultado& r) {
    ASSERT_EQ(r.Codigo, 0) << r.Saida << r.Erro;
    // The table's name in 24 columns, each count right-aligned in 12.
    for (const auto& [tabela, n] : {std::pair{"SC00_FILIAL", "19"}, {"HS_VERSAO", "1"}, {"TR04_IMPOSTO", "2"}}) {
      const std::string t = tabela, numero = std::string(12 - std::string(n).size(), ' ') + n;
      EXPECT_CONTEM(r.Saida, "\n" + t + std::string(24 - t.size(), ' ') + numero + numero + "\n");
    }
    EXPECT_CONTEM(r.Saida, "Contagens iguais em todas as tabelas");
    EXPECT_CONTEM(r.Saida, "Conferência: estabelecimento 1 apurado de ");
    EXPECT_CONTEM(r.Saida, "registros iguais (");
  };
  const std::string copia = Arquivo("copia.db");
  conferir(copiar(banco, copia));
  EXPECT_EQ(TodasAsLinhas(copia), original);

  TResultado r = copiar(banco, copia);
  EXPECT_EQ(r.Codigo, 1);
  // The first table, in name order, whose rows differ from a new database's: the 26 municipalities.
  EXPECT_CONTEM(r.Erro, "já tem dados (tabela CA06_MUNICIPIO, 26 linha(s))");
  EXPECT_CONTEM(r.Erro, "Nada foi gravado.");
  EXPECT_EQ(TodasAsLinhas(copia), original);
  // A target with the tables and nothing else (what `db criar` writes) is taken.
  const std::string vazio = Arquivo("vazio.db");
  ASSERT_EQ(Rodar("db criar '" + vazio + "'").Codigo, 0);
  conferir(copiar(banco, vazio));


  const std::string servidor = ServidorDeTeste();
  if (servidor.empty()) GTEST_SKIP() << "sem servidor (LIVRO_ICMS_BANCO_TESTE): só a cópia entre arquivos";
  std::string uri = EsquemaNovo(servidor);
  ASSERT_EQ(uri.rfind("postgresql://livro@", 0), 0u) << uri;
  uri.replace(0, 19, "postgresql://livro:segredo@");
  r = copiar(banco, uri);
  conferir(r);
  EXPECT_CONTEM(r.Saida, "postgresql://livro:***@");
  {
    banco::TBanco db(uri, banco::kEscrita);
    db.exec("INSERT INTO TR04_IMPOSTO (IDEMPRESA, IDFILIAL, IMPOSTO, INICIO, FIM) VALUES (1, 1, '2001', '2025-12-01', '2025-12-31')");
    EXPECT_EQ(db.getLastInsertRowid(), 502);
    db.exec("DELETE FROM TR04_IMPOSTO WHERE IDIMPOSTO = 502");
  }
  const std::string volta = Arquivo("volta.db");
  conferir(copiar(uri, volta));
  EXPECT_EQ(TodasAsLinhas(volta), original);
  r = copiar(volta, uri);
  EXPECT_EQ(r.Codigo, 1);
  EXPECT_CONTEM(r.Erro, "postgresql://livro:***@");
  for (const std::string& texto : {r.Saida, r.Erro}) EXPECT_EQ(texto.find("segredo"), std::string::npos) << texto;
}

}  // namespace

// Santa Catarina from the command line: the regular regime's agreement answered from a file in a
// one-period settlement, and the small business of 2007 printed (January's 960.00 guide).
TEST_F(LinhaDeComando, RegimesDeSantaCatarina) {
  std::ofstream(Arquivo("respostas.txt")) << "# acordo de dilação\nedtAcordo=2026/000345\n";
  TResultado r = Rodar("apurar --db '" + banco_ + "' --filial 80 --inicio 01/01/2026 --fim 31/01/2026 --respostas '" +
                       Arquivo("respostas.txt") + "'");
  ASSERT_EQ(r.Codigo, 0) << r.Erro;
  EXPECT_CONTEM(r.Saida, "[dados] Dados acessórios => edtAcordo=2026/000345");
  EXPECT_CONTEM(r.Saida, "== TResumoSTSC (trSubstTribSC) imposto 4024");
  banco::TBanco db(banco_);
  banco::TComando q(db, "SELECT CONTEUDO FROM TR04_IMPOSTODET D JOIN TR04_IMPOSTO I ON (I.IDIMPOSTO = D.IDIMPOSTO)"
                          " WHERE I.IDFILIAL = 80 AND D.NOMECAMPO = 'ACORDO'");
  ASSERT_TRUE(q.executeStep());
  EXPECT_EQ(q.getColumn(0).getString(), "2026/000345");

  r = Rodar("imprimir --db '" + banco_ + "' --filial 83 --inicio 01/01/2007 --fim 31/01/2007 --saida '" + Arquivo("l.txt") + "'");
  ASSERT_EQ(r.Codigo, 0) << r.Erro;
  EXPECT_CONTEM(Ler(Arquivo("l.txt")), "1600 - ICMS - Simples/SC         12/02/2007            960,00");
}
