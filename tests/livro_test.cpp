// The printed ledger book: whole books of the demo office compared with golden pages
// (tests/golden/*.txt, the engine's text output), and focused checks of page control, section
// headings, amounts, numbering of definitive books and the job record.
//
// Regenerating the golden pages: LIVRO_ATUALIZAR_GOLDEN=1 ./livro_testes --gtest_filter='Livro*'
// writes them instead of comparing. Read the diff (git diff tests/golden) before keeping it.
#include <gtest/gtest.h>

#include "utilitarios.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include <SQLiteCpp/Statement.h>

#include "host/base/texto.h"
#include "host/host.h"
#include "host/interacao/interacaoroteirizada.h"
#include "host/servicos/selecaoimpostos.h"
#include "relatorio/relatorio.h"

namespace fs = std::filesystem;
using impressao::TLinha;

namespace {

// The module with its page state within reach of the focused checks.
class TLivroSonda : public TdmLivroICMS {
 public:
  using TdmLivroICMS::FLinha;
  using TdmLivroICMS::FResumo;
  using TdmLivroICMS::FTipoSessao;
  using TdmLivroICMS::Imp;
  using TdmLivroICMS::ImprimirCabecalhoSessao;
};

// Pages of a text output (form feed between pages), each split into its lines.
std::vector<std::vector<std::string>> Paginas(const std::string& texto) {
  std::vector<std::vector<std::string>> paginas(1);
  std::string linha;
  for (char c : texto) {
    if (c == '\f') {
      paginas.emplace_back();
    } else if (c == '\n') {
      paginas.back().push_back(linha);
      linha.clear();
    } else {
      linha.push_back(c);
    }
  }
  return paginas;
}

// Compares a book with its golden file, or writes the golden file when asked to.
void CompararGolden(const std::string& nome, const std::string& obtido) {
  const std::string caminho = std::string(LIVRO_TESTES_DIR) + "/golden/" + nome;
  const char* atualizar = std::getenv("LIVRO_ATUALIZAR_GOLDEN");
  if (atualizar && std::string(atualizar) == "1") {
    std::ofstream(caminho, std::ios::binary) << obtido;
    return;
  }
  ASSERT_TRUE(fs::exists(caminho)) << caminho << " não existe (gere com LIVRO_ATUALIZAR_GOLDEN=1)";
  const std::string esperado = Ler(caminho);
  if (esperado == obtido) return;
  auto pe = Paginas(esperado), po = Paginas(obtido);
  for (size_t p = 0; p < std::max(pe.size(), po.size()); ++p) {
    for (size_t l = 0; l < std::max(p < pe.size() ? pe[p].size() : 0, p < po.size() ? po[p].size() : 0); ++l) {
      std::string e = p < pe.size() && l < pe[p].size() ? pe[p][l] : "<ausente>";
      std::string o = p < po.size() && l < po[p].size() ? po[p][l] : "<ausente>";
      if (e != o) {
        ADD_FAILURE() << nome << ": primeira diferença na página " << p + 1 << ", linha " << l + 1 << "\nesperado: ["
                      << e << "]\nobtido:   [" << o << "]";
        return;
      }
    }
  }
  ADD_FAILURE() << nome << " difere";
}

// Demo office in memory, a host with scripted answers, all taxes selected, a fixed clock and
// the book written to a scratch text file.
class Livro : public ::testing::Test {
 protected:
  void SetUp() override {
    conexao_ = TQDConnection::CriarEmMemoria();
    conexao_->CarregarDemo();
    host_ = std::make_unique<THost>(*conexao_, interacao_);
    impostos_ = std::make_unique<TFrameSelecionarImpostos>(*conexao_);
    impostos_->MarcarTodos(true);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / ("livro_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    livro_ = std::make_unique<TLivroSonda>();
    livro_->FIdFilial = 1;
    livro_->FIdEmpresa = 1;
    livro_->FDataSetImpostos = &impostos_->GetDataSet();
    livro_->FAgora = [] { return EncodeDate(2026, 4, 15) + (14.0 * 3600 + 5 * 60 + 9) / 86400.0; };
    livro_->Prn().SetArquivoTexto(Arquivo("livro.txt"));
  }
  void TearDown() override {
    livro_.reset();
    impostos_.reset();
    host_.reset();
    fs::remove_all(dir_);
  }

  std::string Arquivo(const std::string& nome) const { return (dir_ / nome).string(); }

  void Periodo(int mesInicio, int mesFim) {
    livro_->FDataInicio = EncodeDate(2026, mesInicio, 1);
    livro_->FDataFim = FimDoMes(EncodeDate(2026, mesFim, 1));
    livro_->FSolicitarDadosAcessorios = mesInicio == mesFim;
  }

  // Prints the book and returns its text output.
  std::string Imprimir() {
    EXPECT_TRUE(livro_->Imprimir());
    return Ler(Arquivo("livro.txt"));
  }

  int64_t Contar(const std::string& sql) {
    SQLite::Statement q(conexao_->Db(), sql);
    return q.executeStep() ? q.getColumn(0).getInt64() : -1;
  }

  bool Registrou(const std::string& trecho) const {
    for (const auto& m : interacao_.Registro())
      if (m.find(trecho) != std::string::npos) return true;
    return false;
  }

  std::unique_ptr<TQDConnection> conexao_;
  TInteracaoRoteirizada interacao_;
  std::unique_ptr<THost> host_;
  std::unique_ptr<TFrameSelecionarImpostos> impostos_;
  std::unique_ptr<TLivroSonda> livro_;
  fs::path dir_;
};

}  // namespace

// Text of a line from column `coluna` on (1-based, in characters).
std::string Desde(const std::string& linha, size_t coluna) { return texto::Copiar(linha, coluna, std::string::npos); }

// The header line with page and book numbers (line 6, or 7 under a second title).
std::string LinhaFolha(const std::vector<std::string>& pagina) {
  for (size_t l = 0; l < 10 && l < pagina.size(); ++l)
    if (texto::ComecaCom(pagina[l], "|FOLHA") || texto::ComecaCom(pagina[l], "|PÁGINA")) return pagina[l];
  return "";
}

// First page and line (0-based) of a text, or {-1, -1}.
std::pair<int, int> Achar(const std::vector<std::vector<std::string>>& paginas, const std::string& trecho, int aPartirDaPagina = 0) {
  for (size_t p = static_cast<size_t>(aPartirDaPagina); p < paginas.size(); ++p)
    for (size_t l = 0; l < paginas[p].size(); ++l)
      if (paginas[p][l].find(trecho) != std::string::npos) return {static_cast<int>(p), static_cast<int>(l)};
  return {-1, -1};
}

// --- Whole books ------------------------------------------------------------------------------

// January: the regular summary with other credits, a specific debit and an observation, the MG
// ICMS-ST paid by GNRE and the RJ ICMS-ST with its inscription; 88 lines, date in the footer.
TEST_F(Livro, JaneiroOitavos) {
  Periodo(1, 1);
  livro_->FImprimirRodape = true;
  const std::string livro = Imprimir();
  CompararGolden("janeiro_oitavos.txt", livro);

  auto paginas = Paginas(livro);
  ASSERT_EQ(paginas.size(), 6u);  // register and summary pages of three summaries
  for (const auto& p : paginas) ASSERT_EQ(p.size(), 88u);
  EXPECT_EQ(livro_->GetUltimaPagina(), 6);
  // The guides of MG add up to its debit: no warning.
  EXPECT_FALSE(Registrou("Atenção!"));
}

TEST_F(Livro, JaneiroSextos) {
  Periodo(1, 1);
  livro_->SetFormatoImpressao(TLinha::Seis);
  const std::string livro = Imprimir();
  CompararGolden("janeiro_sextos.txt", livro);
  for (const auto& p : Paginas(livro)) ASSERT_EQ(p.size(), 66u);
}

// The ICMS-ST summaries carry the second title with the inscription's state and, at column 98
// of the registration line, the substitute's inscription; their header ends one line lower.
TEST_F(Livro, CabecalhoDaSubstituicaoTributaria) {
  Periodo(1, 1);
  auto paginas = Paginas(Imprimir());
  ASSERT_EQ(paginas.size(), 6u);
  // Pages 5 and 6: RJ, inscription 12345678.
  for (size_t p : {4u, 5u}) {
    const auto& pg = paginas[p];
    EXPECT_NE(pg[2].find("ICMS SUBSTITUIÇÃO TRIBUTÁRIA / RJ"), std::string::npos);
    EXPECT_EQ(texto::Copiar(pg[5], 98, 40), "INSCR. EST. SUBSTITUTO TRIBUT.: 12345678");
    EXPECT_EQ(pg[7], std::string("|") + std::string(155, '-') + "|");  // header ends on line 8
  }
  EXPECT_NE(paginas[4][1].find("R E G I S T R O   D E   A P U R A Ç Ã O   D O   I C M S"), std::string::npos);
  EXPECT_NE(paginas[5][1].find("R E S U M O   D A   A P U R A Ç Ã O   D O   I M P O S T O"), std::string::npos);
  // The summary starts on line 9: right under the header, so it gets the "VALORES" heading.
  EXPECT_EQ(texto::Copiar(paginas[5][8], 128, 7), "VALORES");
  // The regular summary has no second title: its registration line is line 5.
  EXPECT_EQ(paginas[0][4].find("INSCR. EST. SUBSTITUTO"), std::string::npos);
  EXPECT_EQ(paginas[0][2].find("ICMS SUBSTITUIÇÃO"), std::string::npos);
}

// January to March: page numbers run on across the periods; February carries its credit
// balance into March; March's deduction prints without its sign; the MG guides of March are
// missing, which the book warns about.
TEST_F(Livro, PrimeiroTrimestre) {
  Periodo(1, 3);
  const std::string livro = Imprimir();
  CompararGolden("primeiro_trimestre.txt", livro);

  auto paginas = Paginas(livro);
  ASSERT_EQ(paginas.size(), 18u);
  for (size_t p = 0; p < paginas.size(); ++p)
    EXPECT_NE(LinhaFolha(paginas[p]).find("FOLHA.............: " + std::string(p + 2 < 10 ? "0000" : "000") +
                                          std::to_string(p + 2) + "  LIVRO....: 00001"),
              std::string::npos)
        << "página " << p + 1;

  // March, regular ICMS (pages 13 and 14).
  auto [p, l] = Achar(paginas, "012 - DEDUÇÕES (DISCRIMINAR ABAIXO)", 12);
  ASSERT_EQ(p, 13);
  const auto& resumo = paginas[13];
  EXPECT_EQ(texto::Copiar(resumo[l + 1], 7, 8), "|       ");  // detail text after six blanks
  EXPECT_TRUE(texto::ComecaCom(texto::Copiar(resumo[l + 1], 15, 90), "31/03/2026 - Dedução - ICMS antecipado"));
  EXPECT_EQ(texto::Copiar(resumo[l + 1], 106, 25), "                   300,00");
  EXPECT_EQ(texto::Copiar(resumo[l + 1], 132, 25), "                   300,00");
  EXPECT_EQ(resumo[l + 1].find("-300"), std::string::npos);
  auto [p9, l9] = Achar(paginas, "009 - SALDO CREDOR DO PERÍODO ANTERIOR", 13);
  ASSERT_EQ(p9, 13);
  EXPECT_EQ(texto::Copiar(resumo[l9 + 1], 132, 25), "                 8.238,12");
  auto [p13, l13] = Achar(paginas, "013 - IMPOSTO A RECOLHER", 13);
  ASSERT_EQ(p13, 13);
  EXPECT_EQ(texto::Copiar(resumo[l13], 132, 25), "                18.668,36");

  EXPECT_TRUE(Registrou("[aviso] Atenção! A soma dos valores das guias de recolhimento está diferente do"));
  EXPECT_TRUE(Registrou("total do débito de ICMS-ST para MG."));
  int avisos = 0;
  for (const auto& m : interacao_.Registro()) avisos += m.find("Atenção! A soma") != std::string::npos;
  EXPECT_EQ(avisos, 1);  // January and February have their guides
}

// June has no documents. Printed without movement: both register sections empty with the stamp
// across the amount columns.
TEST_F(Livro, JunhoSemMovimentoImpresso) {
  Periodo(6, 6);
  livro_->SetFormatoImpressao(TLinha::Seis);
  livro_->FImprimirSemMovimento = true;
  const std::string livro = Imprimir();
  CompararGolden("junho_sem_movimento.txt", livro);

  auto paginas = Paginas(livro);
  ASSERT_EQ(paginas.size(), 6u);
  const auto& pg = paginas[0];
  // Entries: heading on lines 8 to 14, empty rows 15 to 22, the stamp on lines 18 to 20.
  EXPECT_EQ(texto::Copiar(pg[17], 65, 13), "P E R Í O D O");
  EXPECT_EQ(texto::Copiar(pg[18], 87, 5), "S E M");
  EXPECT_EQ(texto::Copiar(pg[19], 99, 17), "M O V I M E N T O");
  EXPECT_EQ(texto::Copiar(pg[14], 4, 1), "|");
  EXPECT_EQ(texto::Copiar(pg[21], 135, 1), "|");
  EXPECT_EQ(pg[22], std::string("|") + std::string(155, '-') + "|");
  // Exits: the same stamp eight rows after their heading.
  auto [p, l] = Achar(paginas, "  S A I D A S  ");
  ASSERT_EQ(p, 0);
  EXPECT_EQ(texto::Copiar(pg[static_cast<size_t>(l) + 10], 65, 13), "P E R Í O D O");
  EXPECT_EQ(texto::Copiar(pg[static_cast<size_t>(l) + 12], 99, 17), "M O V I M E N T O");
}

// Not printed: the first summary starts with its summary section on the first page, whose header
// carries the summary's title; each later summary starts on a page of its own.
TEST_F(Livro, JunhoSemMovimentoNaoImpresso) {
  Periodo(6, 6);
  livro_->SetFormatoImpressao(TLinha::Seis);
  livro_->FImprimirSemMovimento = false;
  const std::string livro = Imprimir();
  CompararGolden("junho_somente_resumos.txt", livro);

  auto paginas = Paginas(livro);
  ASSERT_EQ(paginas.size(), 3u);
  for (const auto& pg : paginas) {
    EXPECT_NE(pg[1].find("R E S U M O   D A   A P U R A Ç Ã O"), std::string::npos);
    EXPECT_EQ(Achar({pg}, "E N T R A D A S").first, -1);
    EXPECT_EQ(texto::Copiar(pg.at(pg[2].find("SUBSTITUIÇÃO") != std::string::npos ? 8 : 7), 128, 7), "VALORES");
  }
}

// CFOPs detailed by suffix, without descriptions: the first column holds the CFOP with its
// suffix followed by blanks, and no continuation rows.
TEST_F(Livro, SufixoSemDescricao) {
  Periodo(1, 1);
  livro_->SetFormatoImpressao(TLinha::Seis);
  livro_->FDetalharSufixoCfop = true;
  livro_->FImprimirDescricaoCfop = false;
  const std::string livro = Imprimir();
  CompararGolden("janeiro_sufixo_sem_descricao.txt", livro);

  auto paginas = Paginas(livro);
  const auto& pg = paginas[0];
  EXPECT_EQ(texto::Copiar(pg[14], 1, 62), "|  |1.102.000" + std::string(48, ' ') + "|");
  EXPECT_EQ(texto::Copiar(pg[15], 5, 10), "1.102.001 ");
  EXPECT_EQ(Achar(paginas, "|  |      ").first, 0);  // only the subtotal and total rows start blank
  for (const auto& p : paginas)
    for (const auto& linha : p)
      if (texto::ComecaCom(linha, "|  |      ") && !texto::ComecaCom(linha, "|  |      SUBTOTAIS") &&
          !texto::ComecaCom(linha, "|  |      TOTAIS"))
        ADD_FAILURE() << "linha de continuação sem descrições: " << linha;
}

// Suffix detail with descriptions: the description gets 51 - 4 characters, the continuation row
// starts after six blanks plus four.
TEST_F(Livro, SufixoComDescricao) {
  Periodo(1, 1);
  livro_->FDetalharSufixoCfop = true;
  auto paginas = Paginas(Imprimir());
  auto [p, l] = Achar(paginas, "|  |1.202.000 ");
  ASSERT_EQ(p, 0);
  EXPECT_EQ(texto::Copiar(paginas[0][static_cast<size_t>(l)], 4, 59),
            "|1.202.000 DEVOLUÇÃO DE VENDA DE MERCADORIA ADQUIRIDA OU R|");
  EXPECT_EQ(texto::Copiar(paginas[0][static_cast<size_t>(l) + 1], 4, 59),
            "|          ECEBIDA DE TERCEIROS                           |");
  // 6.403 loses what passes 2w = 94 characters.
  auto [p2, l2] = Achar(paginas, "|  |6.403.000 ");
  ASSERT_EQ(p2, 0);
  EXPECT_EQ(texto::Copiar(paginas[0][static_cast<size_t>(l2)], 15, 47), "VENDA DE MERCADORIA ADQUIRIDA OU RECEBIDA DE TE");
  EXPECT_EQ(texto::Copiar(paginas[0][static_cast<size_t>(l2) + 1], 5, 58),
            "          RCEIROS EM OPERAÇÃO COM MERCADORIA SUJEITA AO R|");
}

// An observation of 400 characters takes three lines (155, 155, 90); two observations of a
// period are separated by an empty line.
TEST_F(Livro, Observacoes) {
  std::string longa;
  while (texto::Tamanho(longa) < 400) longa += "Observação número " + std::to_string(texto::Tamanho(longa)) + "; ";
  longa = texto::Copiar(longa, 1, 400);
  conexao_->Executar("INSERT INTO ES02_LIVROOBS (IDFILIAL, IMPOSTO, DATA, OBSERVACAO) VALUES (1, '2001', '2026-02-10', " +
                     texto::QuotedStr(longa) + ");"
                     "INSERT INTO ES02_LIVROOBS (IDFILIAL, IMPOSTO, DATA, OBSERVACAO) VALUES (1, '2001', '2026-02-20', "
                     "'Segunda observação do período.')");
  Periodo(2, 2);
  const std::string livro = Imprimir();
  CompararGolden("fevereiro_observacoes.txt", livro);

  auto paginas = Paginas(livro);
  auto [p, l] = Achar(paginas, "| OBSERVAÇÕES:");
  ASSERT_EQ(p, 1);
  const auto& pg = paginas[1];
  const size_t o = static_cast<size_t>(l) + 1;
  // A full piece reaches column 157: the frame's border keeps clear of its last character
  // (the first piece ends in a blank, so its line has the border).
  EXPECT_EQ(texto::Copiar(pg[o], 3, 154), texto::Copiar(longa, 1, 154));
  EXPECT_EQ(texto::Copiar(pg[o], 157, 1), "|");
  EXPECT_EQ(texto::Copiar(pg[o + 1], 3, 155), texto::Copiar(longa, 156, 155));
  EXPECT_EQ(texto::Aparar(texto::Copiar(pg[o + 2], 3, 154)), texto::Aparar(texto::Copiar(longa, 311, 90)));
  EXPECT_EQ(texto::Aparar(texto::Copiar(pg[o + 3], 2, 155)), "");
  EXPECT_EQ(texto::Aparar(texto::Copiar(pg[o + 4], 3, 154)), "Segunda observação do período.");
  EXPECT_EQ(pg[o + 5], std::string("|") + std::string(155, '-') + "|");
}

// A corporate name longer than its 103 columns wraps and pushes the rest of the header down; an
// ICMS-ST summary section then starts on line 10, below the limit of the "VALORES" heading.
TEST_F(Livro, NomeLongoQuebraNoCabecalho) {
  const std::string nome = "Comercial Exemplo de Alimentos, Bebidas, Produtos de Limpeza e Higiene Pessoal do Estado "
                           "de São Paulo - Ltda (Matriz)";
  ASSERT_GT(texto::Tamanho(nome), 103u);
  conexao_->Executar("UPDATE SC00_FILIAL SET NOME = " + texto::QuotedStr(nome) + " WHERE IDFILIAL = 1");
  Periodo(1, 1);
  auto paginas = Paginas(Imprimir());
  ASSERT_EQ(paginas.size(), 6u);
  const auto& pg = paginas[0];
  EXPECT_EQ(texto::Copiar(pg[2], 22, 103), texto::Copiar(nome, 1, 103));
  EXPECT_EQ(texto::Aparar(texto::Copiar(pg[3], 22, 103)), texto::Aparar(texto::Copiar(nome, 104, 103)));
  EXPECT_TRUE(texto::ComecaCom(pg[4], "|ENDEREÇO..........: "));
  EXPECT_TRUE(texto::ComecaCom(pg[7], "|" + std::string(155, '-')));
  EXPECT_NE(pg[8].find("E N T R A D A S"), std::string::npos);
  // Regular summary: header down to line 8, section on line 9, with the heading.
  EXPECT_EQ(texto::Copiar(paginas[1][8], 128, 7), "VALORES");
  // ICMS-ST summary: section on line 10, without it.
  const auto& st = paginas[3];
  EXPECT_EQ(Achar({st}, "VALORES").first, -1);
  EXPECT_EQ(Achar({st}, "COLUNA AUXILIAR").first, -1);
  EXPECT_NE(st[9].find("D É B I T O   D O   I M P O S T O"), std::string::npos);
}

// --- Definitive books ------------------------------------------------------------------------

class LivroDefinitivo : public Livro {
 protected:
  // The numbering the report form proposes for a definitive book.
  void Numeracao() {
    livro_->FImpressaoDefinitiva = true;
    livro_->FIdConfiguracaoLivro =
        QDInterface->ObterIdConfiguracaoLivro(1, 5, livro_->FDataInicio, livro_->FDataFim, "ES02_CFG");
    int32_t numero = 0, pagina = 0;
    QDInterface->ObterNumeracaoLivro(1, livro_->FIdConfiguracaoLivro, livro_->FDataInicio, "07", numero, pagina);
    livro_->FLivro = numero;
    livro_->FPagina = pagina;
  }

  struct TNumeracao {
    int64_t livro, inicial, final;
  };
  std::vector<TNumeracao> Numeracoes() {
    std::vector<TNumeracao> r;
    SQLite::Statement q(conexao_->Db(),
                        "SELECT LIVRO, PAGINAINICIAL, PAGINAFINAL FROM HS_NUMERACAOLIVRO WHERE IDFILIAL = 1 AND MODULO = '07' "
                        "AND IDCONFIGURACAO = 3 ORDER BY DATA");
    while (q.executeStep()) r.push_back({q.getColumn(0).getInt64(), q.getColumn(1).getInt64(), q.getColumn(2).getInt64()});
    return r;
  }

  int Perguntas() const {
    int n = 0;
    for (const auto& m : interacao_.Registro()) n += m.find("[pergunta]") != std::string::npos;
    return n;
  }
};

// Double-sided with the even first page 2: the user agrees to eject, the front of the first sheet
// stays blank and the header goes on its back with page 2.
TEST_F(LivroDefinitivo, FrenteVersoEjetandoAPrimeiraFolha) {
  Periodo(1, 1);
  Numeracao();
  ASSERT_EQ(livro_->FPagina, 2);
  livro_->FFrenteVerso = true;
  interacao_.AdicionarResposta("sim");
  const std::string livro = Imprimir();
  CompararGolden("janeiro_definitivo_frente_verso.txt", livro);

  ASSERT_EQ(interacao_.Registro().size(), 1u);
  EXPECT_EQ(interacao_.Registro()[0].find("[pergunta] Confirmação: Está sendo realizada uma impressão frente e verso e a "
                                          "numeração da página inicial é ( 2 ). Deseja ejetar a folha e imprimir a página "
                                          "inicial no verso?"),
            0u);
  auto paginas = Paginas(livro);
  ASSERT_EQ(paginas.size(), 7u);
  for (const auto& linha : paginas[0]) ASSERT_EQ(linha, "");
  EXPECT_NE(LinhaFolha(paginas[1]).find("PÁGINA............: 00002  LIVRO....: 00001"), std::string::npos);
  EXPECT_NE(LinhaFolha(paginas[6]).find("PÁGINA............: 00007"), std::string::npos);

  auto n = Numeracoes();
  ASSERT_EQ(n.size(), 1u);
  EXPECT_EQ(n[0].livro, 1);
  EXPECT_EQ(n[0].inicial, 2);
  EXPECT_EQ(n[0].final, 8);

  SQLite::Statement q(conexao_->Db(),
                      "SELECT IDFILIAL, MODULO, PAGINAS, DEFINITIVA, FRENTEVERSO, IMPRESSORA, CONFIGURACAO, MODELO "
                      "FROM HS_PAGINASIMPRESSAS");
  ASSERT_TRUE(q.executeStep());
  EXPECT_EQ(q.getColumn(0).getInt64(), 1);
  EXPECT_EQ(q.getColumn(1).getInt(), 58140);
  EXPECT_EQ(q.getColumn(2).getInt(), 7);  // the blank side is a page of the job
  EXPECT_EQ(q.getColumn(3).getInt(), 1);
  EXPECT_EQ(q.getColumn(4).getInt(), 2);
  EXPECT_EQ(q.getColumn(5).getString(), "Arquivo texto: " + Arquivo("livro.txt"));
  EXPECT_EQ(q.getColumn(6).getString(), "Livro de ICMS");
  EXPECT_EQ(q.getColumn(7).getInt(), 0);
  EXPECT_FALSE(q.executeStep());
}

TEST_F(LivroDefinitivo, FrenteVersoSemEjetar) {
  Periodo(1, 1);
  Numeracao();
  livro_->FFrenteVerso = true;
  interacao_.AdicionarResposta("nao");
  auto paginas = Paginas(Imprimir());
  EXPECT_EQ(Perguntas(), 1);
  ASSERT_EQ(paginas.size(), 6u);
  EXPECT_NE(LinhaFolha(paginas[0]).find("PÁGINA............: 00002"), std::string::npos);
  EXPECT_EQ(Contar("SELECT PAGINAS FROM HS_PAGINASIMPRESSAS"), 6);
  EXPECT_EQ(Contar("SELECT PAGINAFINAL FROM HS_NUMERACAOLIVRO"), 8);
}

// An odd first page belongs on the front: nothing is asked. Single-sided: nothing is asked either.
TEST_F(LivroDefinitivo, SemPerguntaComPaginaImparOuFrenteSo) {
  Periodo(1, 1);
  Numeracao();
  livro_->FPagina = 3;
  livro_->FFrenteVerso = true;
  auto paginas = Paginas(Imprimir());
  EXPECT_EQ(Perguntas(), 0);
  EXPECT_NE(LinhaFolha(paginas[0]).find("PÁGINA............: 00003"), std::string::npos);

  livro_->FPagina = 2;
  livro_->FFrenteVerso = false;
  paginas = Paginas(Imprimir());
  EXPECT_EQ(Perguntas(), 0);
  EXPECT_NE(LinhaFolha(paginas[0]).find("FOLHA.............: 00002"), std::string::npos);
}

// Several periods: each period start re-reads the numbering; the same book continues.
TEST_F(LivroDefinitivo, VariosPeriodosNoMesmoLivro) {
  Periodo(1, 2);
  Numeracao();
  auto paginas = Paginas(Imprimir());
  ASSERT_EQ(paginas.size(), 12u);
  EXPECT_NE(LinhaFolha(paginas[11]).find("FOLHA.............: 00013  LIVRO....: 00001"), std::string::npos);
  auto n = Numeracoes();
  ASSERT_EQ(n.size(), 2u);
  EXPECT_EQ(n[0].livro, 1);
  EXPECT_EQ(n[0].inicial, 2);
  EXPECT_EQ(n[0].final, 8);
  EXPECT_EQ(n[1].livro, 1);
  EXPECT_EQ(n[1].inicial, 2);  // first page of this book printed in the job
  EXPECT_EQ(n[1].final, 14);
}

// A book of five pages: February no longer fits in book 1, so the host gives book 2 from page 2
// and the numbering restarts there.
TEST_F(LivroDefinitivo, NovoLivroReiniciaANumeracao) {
  conexao_->Executar("UPDATE ES02_CFG SET INFORMACAO1 = '5' WHERE IDCFG = 3");
  Periodo(1, 2);
  Numeracao();
  auto paginas = Paginas(Imprimir());
  ASSERT_EQ(paginas.size(), 12u);
  EXPECT_NE(LinhaFolha(paginas[5]).find("FOLHA.............: 00007  LIVRO....: 00001"), std::string::npos);
  EXPECT_NE(LinhaFolha(paginas[6]).find("FOLHA.............: 00002  LIVRO....: 00002"), std::string::npos);
  EXPECT_NE(LinhaFolha(paginas[11]).find("FOLHA.............: 00007  LIVRO....: 00002"), std::string::npos);
  auto n = Numeracoes();
  ASSERT_EQ(n.size(), 2u);
  EXPECT_EQ(n[1].livro, 2);
  EXPECT_EQ(n[1].inicial, 2);
  EXPECT_EQ(n[1].final, 8);
}

// Without definitive printing the numbering is neither read nor recorded: page 2 of book 1.
TEST_F(Livro, NaoDefinitivoNaoGravaNumeracao) {
  Periodo(1, 2);
  auto paginas = Paginas(Imprimir());
  EXPECT_NE(LinhaFolha(paginas[0]).find("FOLHA.............: 00002  LIVRO....: 00001"), std::string::npos);
  EXPECT_EQ(Contar("SELECT COUNT(*) FROM HS_NUMERACAOLIVRO"), 0);
  EXPECT_EQ(Contar("SELECT DEFINITIVA FROM HS_PAGINASIMPRESSAS"), 2);
  EXPECT_EQ(Contar("SELECT FRENTEVERSO FROM HS_PAGINASIMPRESSAS"), 1);
  EXPECT_EQ(Contar("SELECT PAGINAS FROM HS_PAGINASIMPRESSAS"), 12);
}

// --- Jobs that do not happen -----------------------------------------------------------------

// An output that cannot be created, or a cancelled printer setup: nothing printed, nothing
// recorded, no question asked; the module prints normally afterwards.
TEST_F(LivroDefinitivo, TrabalhoQueNaoAbre) {
  Periodo(1, 1);
  Numeracao();
  livro_->FFrenteVerso = true;
  livro_->Prn().SetArquivoTexto(Arquivo("nao-existe/livro.txt"));
  EXPECT_FALSE(livro_->Imprimir());
  livro_->Prn().SetArquivoTexto(Arquivo("livro.txt"));
  livro_->Prn().SetCancelarSetup(true);
  EXPECT_FALSE(livro_->Imprimir());
  EXPECT_FALSE(fs::exists(Arquivo("livro.txt")));
  EXPECT_EQ(Perguntas(), 0);
  EXPECT_EQ(Contar("SELECT COUNT(*) FROM HS_PAGINASIMPRESSAS"), 0);
  EXPECT_EQ(Contar("SELECT COUNT(*) FROM HS_NUMERACAOLIVRO"), 0);

  livro_->Prn().SetCancelarSetup(false);
  interacao_.AdicionarResposta("nao");
  EXPECT_EQ(Paginas(Imprimir()).size(), 6u);
  EXPECT_EQ(Contar("SELECT COUNT(*) FROM HS_PAGINASIMPRESSAS"), 1);
}

// An interval without a whole period yields no summary: no job at all.
TEST_F(Livro, IntervaloSemResumos) {
  livro_->FDataInicio = EncodeDate(2026, 1, 1);
  livro_->FDataFim = EncodeDate(2026, 1, 15);
  EXPECT_TRUE(livro_->Imprimir());
  EXPECT_EQ(livro_->GetApuracao().GetResumos().Count(), 0);
  EXPECT_FALSE(fs::exists(Arquivo("livro.txt")));
  EXPECT_EQ(Contar("SELECT COUNT(*) FROM HS_PAGINASIMPRESSAS"), 0);
}

// A failure while printing (here the footer's table is gone) reaches the caller; the job is
// ended without a record and the module prints again once the cause is gone.
TEST_F(Livro, FalhaDuranteAImpressao) {
  Periodo(1, 1);
  conexao_->Executar("ALTER TABLE CA06_USUARIO RENAME TO CA06_USUARIO_X");
  EXPECT_THROW(livro_->Imprimir(), std::exception);
  EXPECT_FALSE(livro_->Prn().Aberto());
  EXPECT_EQ(Contar("SELECT COUNT(*) FROM HS_PAGINASIMPRESSAS"), 0);
  conexao_->Executar("ALTER TABLE CA06_USUARIO_X RENAME TO CA06_USUARIO");
  EXPECT_EQ(Paginas(Imprimir()).size(), 6u);
  EXPECT_EQ(Contar("SELECT COUNT(*) FROM HS_PAGINASIMPRESSAS"), 1);
}

// --- Page control and headings ----------------------------------------------------------------

// The module's page state after a January book, with a fresh job open in memory on the first
// page of its last summary (RJ ICMS-ST, header ending on line 9).
class LivroPagina : public Livro {
 protected:
  void Abrir(TLinha formato) {
    Periodo(1, 1);
    livro_->SetFormatoImpressao(formato);
    Imprimir();
    livro_->Prn().SetArquivoTexto("");
    livro_->Prn().OnAfterPrint = nullptr;
    livro_->FTipoSessao = tsDebitos;
    ASSERT_TRUE(livro_->Prn().Abrir());
  }
  size_t QtdePaginas() const { return livro_->Prn().Paginas().size(); }
  std::string Linha(int l) const {
    return livro_->Prn().Paginas().back().Linhas().at(static_cast<size_t>(l - 1));
  }
};

TEST_F(LivroPagina, QuebraAoAtingirALinha60Com66Linhas) {
  Abrir(TLinha::Seis);
  EXPECT_EQ(livro_->FLinha, 9);
  livro_->FLinha = 58;
  livro_->Imp(livro_->FLinha, 2, "x", 1);
  EXPECT_EQ(livro_->FLinha, 59);
  EXPECT_EQ(QtdePaginas(), 1u);
  livro_->Imp(livro_->FLinha, 2, "y", 1);
  EXPECT_EQ(QtdePaginas(), 2u);
  EXPECT_EQ(livro_->FLinha, 9);  // the next page's header is already there
  // The closed page: frame down to line 60, footer on line 61.
  const auto& anterior = livro_->Prn().Paginas()[0].Linhas();
  EXPECT_EQ(anterior[57], "|x" + std::string(154, ' ') + "|");
  EXPECT_EQ(anterior[58], "|y" + std::string(154, ' ') + "|");
  EXPECT_EQ(anterior[59], "|" + std::string(155, '-') + "|");
  EXPECT_NE(anterior[60].find("Módulo 58140"), std::string::npos);
  EXPECT_EQ(anterior[61], "");
  livro_->Prn().Fechar();
}

TEST_F(LivroPagina, QuebraAoAtingirALinha82Com88Linhas) {
  Abrir(TLinha::Oito);
  livro_->FLinha = 80;
  livro_->Imp(livro_->FLinha, 2, "x", 1);
  EXPECT_EQ(QtdePaginas(), 1u);
  livro_->Imp(livro_->FLinha, 2, "y", 1, false);
  EXPECT_EQ(QtdePaginas(), 2u);
  // Forced break regardless of the line.
  livro_->Imp(livro_->FLinha, 2, "z", 0, true);
  EXPECT_EQ(QtdePaginas(), 3u);
  livro_->Prn().Fechar();
}

// The column heading with "VALORES" only for a summary section that begins on line 9 or above.
TEST_F(LivroPagina, ValoresSoNoTopoDaPagina) {
  Abrir(TLinha::Oito);
  livro_->FLinha = 9;
  livro_->FTipoSessao = tsCreditos;
  livro_->ImprimirCabecalhoSessao();
  EXPECT_EQ(texto::Copiar(Linha(9), 105, 1), "|");
  EXPECT_EQ(texto::Copiar(Linha(9), 128, 7), "VALORES");
  EXPECT_EQ(texto::Copiar(Linha(11), 106, 25), "     COLUNA AUXILIAR     ");
  EXPECT_EQ(texto::Copiar(Linha(11), 15, 35), "C R É D I T O   D O   I M P O S T O");
  EXPECT_EQ(livro_->FLinha, 13);

  livro_->FLinha = 30;
  livro_->FTipoSessao = tsSaldo;
  livro_->ImprimirCabecalhoSessao();
  EXPECT_EQ(texto::Copiar(Linha(30), 15, 33), "A P U R A Ç Ã O   D O   S A L D O");
  EXPECT_EQ(Linha(30).find("COLUNA AUXILIAR"), std::string::npos);
  EXPECT_EQ(Linha(29), "");
  EXPECT_EQ(texto::Copiar(Linha(31), 7, 2), "|-");
  // The word runs down the left margin from the title line.
  for (int k = 0; k < 5; ++k) EXPECT_EQ(texto::Copiar(Linha(30 + k), 4, 1), std::string(1, "SALDO"[k]));
  EXPECT_EQ(livro_->FLinha, 32);
  livro_->Prn().Fechar();
}

// --- Host settings and outputs ----------------------------------------------------------------

TEST_F(Livro, ImpressaoSemAcentos) {
  conexao_->Executar("UPDATE HS_CONFIG SET VALOR = '1' WHERE CHAVE = 'SEM_ACENTO'");
  Periodo(1, 1);
  const std::string livro = Imprimir();
  EXPECT_NE(livro.find("R E G I S T R O   D E   A P U R A C A O   D O   I C M S"), std::string::npos);
  EXPECT_NE(livro.find("ENDERECO..........: RUA VERGUEIRO 1500"), std::string::npos);
  for (unsigned char c : livro) ASSERT_LT(c, 0x80);
}

// A whole book as PDF: as many pages as the text output, with the book's texts in it.
TEST_F(Livro, PdfDoLivroInteiro) {
  if (!Existe("pdfinfo") || !Existe("pdftotext")) GTEST_SKIP() << "pdfinfo/pdftotext ausentes";
  Periodo(1, 3);
  livro_->Prn().SetArquivoPdf(Arquivo("livro.pdf"));
  const auto paginas = Paginas(Imprimir());
  const std::string info = Executar("pdfinfo '" + Arquivo("livro.pdf") + "'");
  const size_t pos = info.find("Pages:");
  ASSERT_NE(pos, std::string::npos) << info;
  EXPECT_EQ(std::stoul(info.substr(pos + 6)), paginas.size()) << info;
  const std::string txt = Executar("pdftotext -layout '" + Arquivo("livro.pdf") + "' -");
  EXPECT_NE(txt.find("R E G I S T R O"), std::string::npos);
  EXPECT_NE(txt.find("SUBTOTAIS ENTRADAS"), std::string::npos);
  EXPECT_NE(txt.find("Módulo 58140"), std::string::npos);
}

// March in sixths with suffix detail: the exits outgrow the first page and go on under the page
// header alone; the summary's long observation list breaks its page the same way.
TEST_F(Livro, QuebraDePaginaDentroDasSecoes) {
  std::string obs;
  for (int i = 1; i <= 40; ++i) obs += (i > 1 ? "\n" : "") + std::string("Linha de observação ") + std::to_string(i);
  conexao_->Executar("INSERT INTO ES02_LIVROOBS (IDFILIAL, IMPOSTO, DATA, OBSERVACAO) VALUES (1, '2001', '2026-03-05', " +
                     texto::QuotedStr(obs) + ")");
  Periodo(3, 3);
  impostos_->MarcarCodigos({"2001"});
  livro_->SetFormatoImpressao(TLinha::Seis);
  livro_->FDetalharSufixoCfop = true;
  const std::string livro = Imprimir();
  CompararGolden("marco_quebras_de_pagina.txt", livro);

  auto paginas = Paginas(livro);
  ASSERT_EQ(paginas.size(), 4u);
  // The exits go on under the page header alone, without their section heading.
  EXPECT_TRUE(texto::ComecaCom(paginas[1][7], "|  |7.000 PARA O EXTERIOR"));
  EXPECT_TRUE(texto::ComecaCom(paginas[1][8], "|  |      TOTAIS"));
  // The observation printed on the line where the page broke stays readable under the frame's
  // closing line; the next page goes on after the header and one empty line.
  EXPECT_TRUE(texto::ComecaCom(paginas[2][59], "| Linha de observação 19 ---"));
  EXPECT_EQ(paginas[3][7], "|" + std::string(155, ' ') + "|");
  EXPECT_TRUE(texto::ComecaCom(paginas[3][8], "| Linha de observação 20 "));
  EXPECT_TRUE(texto::ComecaCom(paginas[3][28], "| Linha de observação 40 "));
}
