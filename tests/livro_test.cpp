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

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

#include "host/banco/motor.h"

#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "host/interacao/interacaoroteirizada.h"
#include "host/impressao/saidapdf.h"
#include "host/impressao/substituicao.h"
#include "host/servicos/selecaoimpostos.h"
#include "regimes/normal/apuracaonormalrs.h"
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
  using TdmLivroICMS::ImprimirSessaoRegistro;
  using TdmLivroICMS::RepararImpressoesInterrompidas;
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
    banco::TComando q(conexao_->Db(), sql);
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
    if (texto::ComecaCom(pagina[l], "|FOLHA") || texto::ComecaCom(pagina[l], "|PAGINA")) return pagina[l];
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
  // Item 006 of the centraliser (filial 1) holds the other credit of 420,00 of 31/01 that Campinas
  // (filial 2, code 2, centralised by it) recorded: its detail names the establishment first, and
  // its text of 96 characters breaks before "12/2025" (90 columns from column 15), the value and
  // the item's 1.250,00 + 420,00 = 1.670,00 on that second line.
  auto [pc, lc] = Achar(paginas, "|       ESTAB= 2 (Exemplo Alimentos - Campinas) - 31/01/2026 - Credito extemporaneo - NF 7710 de  |");
  ASSERT_GE(pc, 0);
  const std::string& campinas = paginas[static_cast<size_t>(pc)][static_cast<size_t>(lc + 1)];
  EXPECT_EQ(Desde(campinas, 7), "|       12/2025" + std::string(83, ' ') + "|                   420,00|                 1.670,00|");
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
    EXPECT_NE(pg[2].find("ICMS SUBSTITUICAO TRIBUTARIA / RJ"), std::string::npos);
    EXPECT_EQ(texto::Copiar(pg[5], 98, 40), "INSCR. EST. SUBSTITUTO TRIBUT.: 12345678");
    EXPECT_EQ(pg[7], std::string("|") + std::string(155, '-') + "|");  // header ends on line 8
  }
  EXPECT_NE(paginas[4][1].find("R E G I S T R O   D E   A P U R A C A O   D O   I C M S"), std::string::npos);
  EXPECT_NE(paginas[5][1].find("R E S U M O   D A   A P U R A C A O   D O   I M P O S T O"), std::string::npos);
  // The summary starts on line 9: right under the header, so it gets the "VALORES" heading.
  EXPECT_EQ(texto::Copiar(paginas[5][8], 128, 7), "VALORES");
  // The regular summary has no second title: its registration line is line 5.
  EXPECT_EQ(paginas[0][4].find("INSCR. EST. SUBSTITUTO"), std::string::npos);
  EXPECT_EQ(paginas[0][2].find("ICMS SUBSTITUICAO"), std::string::npos);
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
  auto [p, l] = Achar(paginas, "012 - DEDUCOES (DISCRIMINAR ABAIXO)", 12);
  ASSERT_EQ(p, 13);
  const auto& resumo = paginas[13];
  EXPECT_EQ(texto::Copiar(resumo[l + 1], 7, 8), "|       ");  // detail text after six blanks
  EXPECT_TRUE(texto::ComecaCom(texto::Copiar(resumo[l + 1], 15, 90), "31/03/2026 - Deducao - ICMS antecipado"));
  EXPECT_EQ(texto::Copiar(resumo[l + 1], 106, 25), "                   300,00");
  EXPECT_EQ(texto::Copiar(resumo[l + 1], 132, 25), "                   300,00");
  EXPECT_EQ(resumo[l + 1].find("-300"), std::string::npos);
  auto [p9, l9] = Achar(paginas, "009 - SALDO CREDOR DO PERIODO ANTERIOR", 13);
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
  EXPECT_EQ(texto::Copiar(pg[17], 65, 13), "P E R I O D O");
  EXPECT_EQ(texto::Copiar(pg[18], 87, 5), "S E M");
  EXPECT_EQ(texto::Copiar(pg[19], 99, 17), "M O V I M E N T O");
  EXPECT_EQ(texto::Copiar(pg[14], 4, 1), "|");
  EXPECT_EQ(texto::Copiar(pg[21], 135, 1), "|");
  EXPECT_EQ(pg[22], std::string("|") + std::string(155, '-') + "|");
  // Exits: the same stamp eight rows after their heading.
  auto [p, l] = Achar(paginas, "  S A I D A S  ");
  ASSERT_EQ(p, 0);
  EXPECT_EQ(texto::Copiar(pg[static_cast<size_t>(l) + 10], 65, 13), "P E R I O D O");
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
    EXPECT_NE(pg[1].find("R E S U M O   D A   A P U R A C A O"), std::string::npos);
    EXPECT_EQ(Achar({pg}, "E N T R A D A S").first, -1);
    EXPECT_EQ(texto::Copiar(pg.at(pg[2].find("SUBSTITUICAO") != std::string::npos ? 8 : 7), 128, 7), "VALORES");
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
            "|1.202.000 DEVOLUCAO DE VENDA DE MERCADORIA ADQUIRIDA OU R|");
  EXPECT_EQ(texto::Copiar(paginas[0][static_cast<size_t>(l) + 1], 4, 59),
            "|          ECEBIDA DE TERCEIROS                           |");
  // 6.403 loses what passes 2w = 94 characters.
  auto [p2, l2] = Achar(paginas, "|  |6.403.000 ");
  ASSERT_EQ(p2, 0);
  EXPECT_EQ(texto::Copiar(paginas[0][static_cast<size_t>(l2)], 15, 47), "VENDA DE MERCADORIA ADQUIRIDA OU RECEBIDA DE TE");
  EXPECT_EQ(texto::Copiar(paginas[0][static_cast<size_t>(l2) + 1], 5, 58),
            "          RCEIROS EM OPERACAO COM MERCADORIA SUJEITA AO R|");
}

// An observation of 400 characters takes three lines (155, 155, 90); two observations of a
// period are separated by an empty line; a text that ends in a line break takes no extra line.
TEST_F(Livro, Observacoes) {
  std::string longa;
  while (texto::Tamanho(longa) < 400) longa += "Observação número " + std::to_string(texto::Tamanho(longa)) + "; ";
  longa = texto::Copiar(longa, 1, 400);
  conexao_->Executar("INSERT INTO ES02_LIVROOBS (IDFILIAL, IMPOSTO, DATA, OBSERVACAO) VALUES (1, '2001', '2026-02-10', " +
                     texto::QuotedStr(longa + "\r\n") + ");"
                     "INSERT INTO ES02_LIVROOBS (IDFILIAL, IMPOSTO, DATA, OBSERVACAO) VALUES (1, '2001', '2026-02-20', "
                     "'Segunda observação do período.' || char(10))");
  Periodo(2, 2);
  const std::string livro = Imprimir();
  CompararGolden("fevereiro_observacoes.txt", livro);

  auto paginas = Paginas(livro);
  auto [p, l] = Achar(paginas, "| OBSERVACOES:");
  ASSERT_EQ(p, 1);
  const auto& pg = paginas[1];
  const size_t o = static_cast<size_t>(l) + 1;
  const std::string impressa = texto::SemAcento(longa);
  // A full piece reaches column 157: the frame's border keeps clear of its last character
  // (the first piece ends in a blank, so its line has the border).
  EXPECT_EQ(texto::Copiar(pg[o], 3, 154), texto::Copiar(impressa, 1, 154));
  EXPECT_EQ(texto::Copiar(pg[o], 157, 1), "|");
  EXPECT_EQ(texto::Copiar(pg[o + 1], 3, 155), texto::Copiar(impressa, 156, 155));
  EXPECT_EQ(texto::Aparar(texto::Copiar(pg[o + 2], 3, 154)), texto::Aparar(texto::Copiar(impressa, 311, 90)));
  EXPECT_EQ(texto::Aparar(texto::Copiar(pg[o + 3], 2, 155)), "");
  EXPECT_EQ(texto::Aparar(texto::Copiar(pg[o + 4], 3, 154)), "Segunda observacao do periodo.");
  EXPECT_EQ(pg[o + 5], std::string("|") + std::string(155, '-') + "|");
}

// A long firm name and realistic codes: the company block stays whole inside the frame (34
// characters ending at column 156), the name wraps before it and pushes the header down, and a
// summary section that begins right under the grown header still gets its column heading.
TEST_F(Livro, CabecalhoComNomeLongoECodigosReais) {
  const std::string nome = "Comercial Exemplo de Alimentos, Bebidas, Produtos de Limpeza e Higiene Pessoal do Estado "
                           "de São Paulo - Ltda (Matriz)";
  conexao_->Executar("UPDATE SC00_FILIAL SET NOME = " + texto::QuotedStr(nome) + ", FILIAL = 1234 WHERE IDFILIAL = 1;"
                     "UPDATE SC00_EMPRESA SET EMPRESA = 12345 WHERE IDEMPRESA = 1");
  Periodo(1, 1);
  auto paginas = Paginas(Imprimir());
  ASSERT_EQ(paginas.size(), 6u);
  const std::string impresso = texto::SemAcento(nome);
  const auto& pg = paginas[0];
  // Block at 123..156; the name's lines take columns 22 to 121 (100 characters), a blank before it,
  // broken at a blank: "... do Estado de São" is 95 characters, "Paulo" would end at 101.
  EXPECT_EQ(texto::Copiar(pg[2], 122, 36), " EMP= 12345/ESTAB= 1234   MODELO P9|");
  EXPECT_EQ(texto::Copiar(pg[2], 1, 121), "|FIRMA.............: " + texto::Copiar(impresso, 1, 95) + "     ");
  EXPECT_EQ(texto::Aparar(texto::Copiar(pg[3], 22, 100)), "Paulo - Ltda (Matriz)");
  EXPECT_TRUE(texto::ComecaCom(pg[4], "|ENDERECO..........: "));
  EXPECT_TRUE(texto::ComecaCom(pg[7], "|" + std::string(155, '-')));
  EXPECT_NE(pg[8].find("E N T R A D A S"), std::string::npos);
  // Regular summary: header down to line 8, section on line 9, with the heading.
  EXPECT_EQ(texto::Copiar(paginas[1][8], 128, 7), "VALORES");
  // ICMS-ST summary: a second title makes the header end on line 9; the section begins on line
  // 10, right under it, with the heading.
  const auto& st = paginas[3];
  EXPECT_EQ(texto::Copiar(st[9], 128, 7), "VALORES");
  EXPECT_EQ(texto::Copiar(st[11], 106, 25), "     COLUNA AUXILIAR     ");
  EXPECT_NE(st[11].find("D E B I T O   D O   I M P O S T O"), std::string::npos);
}

// With the usual codes the block is at column 125: a name of 115 characters ("Sociedade " ten
// times is 99 with its last blank dropped; the eleventh word would end at column 130) breaks
// before it, column 124 stays blank. An address whose street is "RUAS" and 22 times " LONGA"
// (136 characters) keeps the border at 157: its first line holds 21 of the words (130 characters).
TEST_F(Livro, CabecalhoQuebraNomeEEnderecoEntrePalavras) {
  std::string nome, rua = "RUAS";
  for (int i = 0; i < 11; ++i) nome += "Sociedade ";
  for (int i = 0; i < 22; ++i) rua += " LONGA";
  conexao_->Executar("UPDATE SC00_FILIAL SET NOME = " + texto::QuotedStr(nome + "Final") +
                     ", ENDERECO = " + texto::QuotedStr(rua) + " WHERE IDFILIAL = 1");
  Periodo(1, 1);
  const auto pg = Paginas(Imprimir())[0];
  EXPECT_EQ(texto::Copiar(pg[2], 22, 118), texto::Copiar(nome, 1, 99) + "    EMP= 1/ESTAB= 1");
  EXPECT_EQ(texto::Aparar(texto::Copiar(pg[3], 22, 103)), "Sociedade Final");
  EXPECT_EQ(texto::Copiar(pg[4], 22, 136), texto::Copiar(rua, 1, 130) + "     |");
  EXPECT_TRUE(texto::ComecaCom(texto::Copiar(pg[5], 22, 200), "LONGA ")) << pg[5];
}

// Under a page's closing frame line there is only its footer: nothing printed runs past the end.
void ExpectPaginaFechada(const std::vector<std::string>& pg, size_t numero) {
  size_t fecho = pg.size();
  while (fecho > 0 && pg[fecho - 1] != "|" + std::string(155, '-') + "|") --fecho;
  ASSERT_GT(fecho, 8u) << "página " << numero << " sem a linha que fecha o quadro";
  EXPECT_NE(pg.at(fecho).find("Modulo 58140"), std::string::npos) << "página " << numero;
  EXPECT_EQ(texto::Copiar(pg.at(fecho), 1, 40).find_first_not_of(' '), 1u) << "página " << numero << ": " << pg.at(fecho);
  for (size_t l = fecho + 1; l < pg.size(); ++l) EXPECT_EQ(pg[l], "") << "página " << numero << ", linha " << l + 1;
}

// A busy February at 1/6 inch: 37 other debits, one of them with a 150-character description and
// an amount of 999,992.23. The long description wraps inside the item column (columns 9 to 104),
// six blanks in; its amount stays whole at the end of the auxiliary column (106 to 130) and every
// row keeps its borders. Line 002 totals 999,992.23 + 36 x 10.00 + the demo's 1,120.00 of 28/02
// = 1,001,472.23. The credits heading would start on line 57, too low for "CREDITO" to run down the margin above the page's
// end (59), so it starts the next page, under the column heading.
TEST_F(Livro, ResumoLongoFicaNasColunas) {
  std::string descricao = "Diferença de alíquota de mercadorias destinadas a uso e consumo recebidas de outros estados "
                          "conforme notas fiscais de entrada relacionadas em planilha";
  ASSERT_EQ(texto::Tamanho(descricao), 150u);
  std::string sql;
  auto debito = [&sql](const std::string& valor, const std::string& d) {
    sql += "INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, IDLCTOAPURCOD, IDCODIGOREC, VALOR, DATA,"
           " DATAFIM, DESCRICAO, ORIGEM, IDORIGEM, GERADO) VALUES (1, 15, 1, '2001', 0, 0, " + valor +
           ", '2026-02-10', '2026-02-10', " + texto::QuotedStr(d) + ", 0, 0, 0);";
  };
  debito("999992.23", descricao);
  for (int i = 10; i < 46; ++i) debito("10", "Outro débito " + std::to_string(i));
  conexao_->Executar(sql);
  Periodo(2, 2);
  impostos_->MarcarCodigos({"2001"});
  livro_->SetFormatoImpressao(TLinha::Seis);
  auto paginas = Paginas(Imprimir());
  ASSERT_EQ(paginas.size(), 3u);
  for (size_t p = 0; p < paginas.size(); ++p) ExpectPaginaFechada(paginas[p], p + 1);

  const auto& pg = paginas[1];
  auto [p, l] = Achar({pg}, "002 - OUTROS DEBITOS (DISCRIMINAR ABAIXO)");
  ASSERT_EQ(p, 0);
  const size_t d = static_cast<size_t>(l) + 1;
  const auto linhas = texto::QuebrarEmLinhas("10/02/2026 - " + texto::SemAcento(descricao), 90);
  ASSERT_EQ(linhas.size(), 2u);
  EXPECT_EQ(texto::Copiar(pg[d], 7, 99), "| " + texto::PreencherDireita("      " + linhas[0], 96) + "|");
  EXPECT_EQ(texto::Copiar(pg[d + 1], 7, 99), "| " + texto::PreencherDireita("      " + linhas[1], 96) + "|");
  EXPECT_EQ(texto::Copiar(pg[d], 106, 25), std::string(25, ' '));
  EXPECT_EQ(texto::Copiar(pg[d + 1], 105, 53), "|" + texto::PreencherEsquerda("999.992,23", 25) + "|" + std::string(25, ' ') + "|");
  auto [p3, l3] = Achar({pg}, "003 - ESTORNO DE CREDITOS");
  ASSERT_EQ(p3, 0);
  EXPECT_EQ(texto::Copiar(pg[static_cast<size_t>(l3) - 1], 105, 53),
            "|" + texto::PreencherEsquerda("1.120,00", 25) + "|" + texto::PreencherEsquerda("1.001.472,23", 25) + "|");
  for (size_t i = d; i < static_cast<size_t>(l3); ++i) {
    ASSERT_EQ(texto::Copiar(pg[i], 105, 1), "|") << "linha " << i + 1 << ": " << pg[i];
    ASSERT_EQ(texto::Copiar(pg[i], 157, 1), "|") << "linha " << i + 1 << ": " << pg[i];
  }
  // The credits on the next page, right under the header with the column heading.
  EXPECT_EQ(Achar({pg}, "C R E D I T O").first, -1);
  const auto& seguinte = paginas[2];
  EXPECT_EQ(texto::Copiar(seguinte[7], 128, 7), "VALORES");
  auto [pc, lc] = Achar({seguinte}, "C R E D I T O   D O   I M P O S T O");
  ASSERT_EQ(pc, 0);
  for (size_t k = 0; k < 7; ++k)
    EXPECT_EQ(texto::Copiar(seguinte[static_cast<size_t>(lc) + k], 4, 1), std::string(1, "CREDITO"[k]));
}

// The books of the state regimes at 1/6 inch: filial 3 (regular RS and ICMS-ST RS, January to
// March, March's 137.50 postponed: its guide line says so and no guide is listed) and the
// January books of MA, PA and SE.
TEST_F(Livro, RegimesEstaduais) {
  GPostergarImposto = piPerguntar;
  livro_->FIdFilial = 3;
  livro_->FIdEmpresa = 2;
  livro_->SetFormatoImpressao(TLinha::Seis);
  Periodo(1, 3);
  interacao_.AdicionarResposta("Sim");
  const std::string rs = Imprimir();
  CompararGolden("rs_primeiro_trimestre.txt", rs);
  auto [p, l] = Achar(Paginas(rs), "Valor postergado para apuracao seguinte");
  ASSERT_GE(p, 0);
  EXPECT_EQ(texto::Copiar(Paginas(rs)[static_cast<size_t>(p)][static_cast<size_t>(l)], 53, 6), "137,50");
  // The ICMS-ST RS of January, centraliser: item 001 is 510,00 while its own exits' register tax
  // totals 340,00; the other 170,00 are the ST of Caxias do Sul's (filial 4, code 2) exits to RS
  // clients in January (the demo's documents), shown as the item's detail with the establishment's
  // code and name. February and March, and the entries, have no share of another establishment.
  const auto paginasRs = Paginas(rs);
  auto [pst, lst] = Achar(paginasRs, "ESTAB= 2 (Sul-Norte - Caxias do Sul) - ICMS-ST DAS SAIDAS DO ESTABELECIMENTO CENTRALIZADO");
  ASSERT_GE(pst, 0);
  const std::string& participacao = paginasRs[static_cast<size_t>(pst)][static_cast<size_t>(lst)];
  EXPECT_EQ(Desde(participacao, 105), "|                   170,00|                   510,00|");
  const std::string& item001 = paginasRs[static_cast<size_t>(pst)][static_cast<size_t>(lst - 1)];
  EXPECT_NE(item001.find("| 001 - POR SAIDAS/PRESTACOES COM DEBITO DO IMPOSTO"), std::string::npos) << item001;
  EXPECT_EQ(Desde(item001, 105), "|                         |                         |");
  EXPECT_EQ(Achar(paginasRs, "ESTABELECIMENTO CENTRALIZADO", pst + 1).first, -1);

  std::string outros;
  for (int filial : {5, 6, 7}) {
    livro_->FIdFilial = filial;
    livro_->FPagina = 2;  // each book as the form starts it
    Periodo(1, 1);
    outros += Imprimir();
  }
  CompararGolden("ma_pa_se_janeiro.txt", outros);
  GPostergarImposto = piPerguntar;

  // January books of PR's regular regime (2026) and of the PR and RN small businesses (2007),
  // centralisers both: the demonstration of the calculation in the observations.
  std::string pr;
  for (auto [filial, ano] : {std::pair{60, 2026}, {61, 2007}, {63, 2007}}) {
    livro_->FIdFilial = filial;
    livro_->FIdEmpresa = filial == 63 ? 66 : 6;
    livro_->FDataInicio = EncodeDate(ano, 1, 1);
    livro_->FDataFim = EncodeDate(ano, 1, 31);
    livro_->FPagina = 2;
    pr += Imprimir() + "\f";
  }
  CompararGolden("pr_rn_janeiro.txt", pr);
  // The centralised PR small business (filial 62) pays nothing of its own: its rate is printed
  // as 0 % from column 113 in place of its bracket.
  livro_->FIdFilial = 62;
  livro_->FPagina = 2;
  const auto centralizada = Paginas(Imprimir());
  auto [pc, lc] = Achar(centralizada, "ALIQUOTA: 0% (CENTRALIZADA)");
  ASSERT_GE(pc, 0);
  EXPECT_EQ(texto::Copiar(centralizada[static_cast<size_t>(pc)][static_cast<size_t>(lc)], 113, 27),
            "ALIQUOTA: 0% (CENTRALIZADA)");
  EXPECT_EQ(Achar(centralizada, "FAIXA:").first, -1);
  EXPECT_EQ(Achar(centralizada, "RECEITA BRUTA ANUAL:"), std::make_pair(pc, lc + 1));
}

// The RS small business of filial 70 (centraliser) in July 2006 with its auxiliary data asked
// (one period, the dialog confirmed as proposed): the register section, the summary whose item
// 001 is the tax of the month (950,35), the month's figures in the observations and, on a page
// of its own, the composition of the revenue and of its deductions item by item. The figures are
// those of the comment of company 7 in db/demo.sql.
TEST_F(Livro, SimplesRSComposicaoDaReceita) {
  impostos_->MarcarPorImposto(TTipoImposto::ICMS);
  livro_->FIdFilial = 70;
  livro_->FIdEmpresa = 7;
  livro_->FDataInicio = EncodeDate(2006, 7, 1);
  livro_->FDataFim = EncodeDate(2006, 7, 31);
  livro_->FSolicitarDadosAcessorios = true;
  livro_->SetFormatoImpressao(TLinha::Seis);
  const std::string livro = Imprimir();
  CompararGolden("simples_rs_julho_2006.txt", livro);
  const auto paginas = Paginas(livro);
  auto [p, l] = Achar(paginas, "R E C E I T A   B R U T A");
  ASSERT_GE(p, 0);
  EXPECT_EQ(l, 7);  // the first line under the header of a new page
  EXPECT_EQ(texto::Aparar(texto::Copiar(paginas[static_cast<size_t>(p)][static_cast<size_t>(l + 5)], 130, 20)), "-950,00");
}

// The books of Santa Catarina at 1/6 inch, one period each, with the auxiliary-data dialogs:
// filial 80 in January (regular with the agreement answered, then ICMS-ST SC with the specific
// debits of ST per operation), the estimate's June (filial 81), the bars' January (filial 82) and
// the small business's January 2007 (filial 83, centraliser, with an observation of its own).
TEST_F(Livro, RegimesDeSantaCatarina) {
  livro_->SetFormatoImpressao(TLinha::Seis);
  livro_->FIdEmpresa = 8;
  interacao_.AdicionarResposta("edtAcordo=2026/000345");
  std::string livros;
  for (auto [filial, mes] : {std::pair{80, 1}, std::pair{81, 6}, std::pair{82, 1}}) {
    livro_->FIdFilial = filial;
    Periodo(mes, mes);
    livros += Imprimir();
  }
  conexao_->Executar("INSERT INTO ES02_LIVROOBS (IDFILIAL, IMPOSTO, DATA, OBSERVACAO) VALUES (83, '2001', '2007-01-31', "
                     "'Receita de janeiro conferida com a DIME.')");
  livro_->FIdFilial = 83;
  livro_->FDataInicio = EncodeDate(2007, 1, 1);
  livro_->FDataFim = EncodeDate(2007, 1, 31);
  livros += Imprimir();
  CompararGolden("sc_um_periodo.txt", livros);
  EXPECT_EQ(interacao_.RespostasRestantes(), 0u);
  EXPECT_TRUE(Registrou("[dados] Dados acessórios => confirmado sem alterações"));  // filial 83
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
    bool operator==(const TNumeracao&) const = default;
  };
  std::vector<TNumeracao> Numeracoes() {
    std::vector<TNumeracao> r;
    banco::TComando q(conexao_->Db(),
                        "SELECT LIVRO, PAGINAINICIAL, PAGINAFINAL FROM HS_NUMERACAOLIVRO WHERE IDFILIAL = 1 AND MODULO = '07' "
                        "AND IDCONFIGURACAO = 3 ORDER BY DATA");
    while (q.executeStep()) r.push_back({q.getColumn(0).getInt64(), q.getColumn(1).getInt64(), q.getColumn(2).getInt64()});
    return r;
  }

  // The message of a definitive print refused for its numbering ("" when it was not refused);
  // nothing of it may reach the outputs.
  std::string Recusa() {
    fs::remove(Arquivo("livro.txt"));
    try {
      livro_->Imprimir();
    } catch (const ENumeracaoLivro& e) {
      EXPECT_FALSE(fs::exists(Arquivo("livro.txt")));
      EXPECT_FALSE(livro_->Prn().Aberto());
      return e.what();
    }
    return "";
  }

  int Perguntas() const {
    int n = 0;
    for (const auto& m : interacao_.Registro()) n += m.find("[pergunta]") != std::string::npos;
    return n;
  }
};

// A book that begins in the job opens with its term on page 1: the book, the pages it holds (the
// configuration's 100), the establishment and the signatories of the demo; its numbered pages
// follow from page 2 and the period's row holds the pages it printed, 2 to 7.
TEST_F(LivroDefinitivo, LivroNovoComecaPeloTermoDeAbertura) {
  // A firm name of 76 characters: its line (20 + 76) breaks at the last blank within 70 and goes on
  // under the value, 20 characters in.
  conexao_->Executar("UPDATE SC00_FILIAL SET NOME = 'Comercial Exemplo de Alimentos, Bebidas e Produtos de Limpeza do"
                     " Brasil Ltda' WHERE IDFILIAL = 1");
  Periodo(1, 1);
  Numeracao();
  ASSERT_EQ(livro_->FPagina, 2);
  livro_->FFrenteVerso = true;  // page 1 is odd: no question about ejecting
  auto paginas = Paginas(Imprimir());
  EXPECT_EQ(Perguntas(), 0);
  ASSERT_EQ(paginas.size(), 7u);
  const auto& termo = paginas[0];
  // The term's block from the grid's column 46 (70 characters, the 10-cpi type over columns 11 to
  // 150): the book and folha on line 2, the title on line 6, the paragraph from line 10, a blank
  // line, the identification, a blank line, the place and date, four blank lines, then the two
  // signatures side by side at columns 26 and 106.
  const std::string m(45, ' '), traco(30, '_');
  auto assinaturas = [](const std::string& a, const std::string& b) {
    return std::string(25, ' ') + a + std::string(80 - texto::Tamanho(a), ' ') + b;
  };
  const std::vector<std::pair<size_t, std::string>> linhas = {
      {2, m + std::string(43, ' ') + "LIVRO: 00001   FOLHA: 00001"},
      {10, m + "Contem este livro 100 folhas, numeradas tipograficamente de 1 a 100,"},
      {11, m + "que servira de Livro Registro de Apuracao do ICMS, modelo P9, numero"},
      {12, m + "1, do estabelecimento abaixo identificado:"},
      {13, ""},
      {14, m + "Empresa...........: Comercial Exemplo de Alimentos, Bebidas e Produtos"},
      {15, m + std::string(20, ' ') + "de Limpeza do Brasil Ltda"},
      {16, m + "Endereco..........: Rua Vergueiro, 1500 - Sala 12"},
      {17, m + "Bairro............: Vila Mariana   CEP: 04.101-000"},
      {18, m + "Municipio.........: Sao Paulo / SP"},
      {19, m + "Inscricao Estadual: 110.042.490.114"},
      {20, m + "CNPJ..............: 12.345.678/0001-95"},
      {21, ""},
      {22, m + "Sao Paulo, 1 de janeiro de 2026."},
      {23, ""},
      {26, ""},
      {27, assinaturas(traco, traco)},
      {28, assinaturas("Marina Albuquerque Tavares", "Roberto Okada")},
      {29, assinaturas("Socia-administradora", "Contador - CRC 1SP123456/O-7")},
      {30, assinaturas("CPF: 123.456.789-09", "CPF: 987.654.321-00")},
      {31, ""}};
  for (const auto& [n, texto] : linhas) EXPECT_EQ(termo.at(n - 1), texto) << "linha " << n;
  EXPECT_EQ(Achar({termo}, "T E R M O   D E   A B E R T U R A").first, 0);
  EXPECT_EQ(Achar({termo}, "LIVRO: 00001   FOLHA: 00001").first, 0);
  // 70 characters a line in the term's 10-cpi type, on a page of 66 lines in a book of 88.
  EXPECT_EQ(Achar({termo}, "Contem este livro 100 folhas, numeradas tipograficamente de 1 a 100,").first, 0);
  EXPECT_EQ(Achar({termo}, "que servira de Livro Registro de Apuracao do ICMS, modelo P9, numero").first, 0);
  EXPECT_EQ(termo.size(), 66u);
  EXPECT_EQ(paginas[1].size(), 88u);
  EXPECT_EQ(Achar({termo}, "|----").first, -1);  // no frame, no footer
  EXPECT_EQ(Achar({termo}, "Modulo 58140").first, -1);
  EXPECT_NE(LinhaFolha(paginas[1]).find("PAGINA............: 00002  LIVRO....: 00001"), std::string::npos);
  EXPECT_EQ(LinhaFolha(paginas[1]).find("NAO DEFINITIVA"), std::string::npos);  // the book itself
  EXPECT_EQ(Numeracoes(), (std::vector<TNumeracao>{{1, 2, 7}}));
  EXPECT_EQ(Contar("SELECT PAGINAS FROM HS_PAGINASIMPRESSAS"), 7);
}

// Double-sided, going on at the even page 8 of a book: the question proposes to eject, and the
// user takes it; the front of the first sheet stays blank and the header goes on its back with
// page 8.
TEST_F(LivroDefinitivo, FrenteVersoEjetandoAPrimeiraFolha) {
  Periodo(1, 1);
  Numeracao();
  livro_->FPagina = 8;
  livro_->FFrenteVerso = true;
  const std::string livro = Imprimir();
  CompararGolden("janeiro_definitivo_frente_verso.txt", livro);

  ASSERT_EQ(interacao_.Registro().size(), 1u);
  EXPECT_EQ(interacao_.Registro()[0].find("[pergunta] Confirmação: Está sendo realizada uma impressão frente e verso e a "
                                          "numeração da página inicial é ( 8 ). Deseja ejetar a folha e imprimir a página "
                                          "inicial no verso?"),
            0u);
  EXPECT_CONTEM(interacao_.Registro()[0], "=> SIM (padrão, sem resposta)");
  auto paginas = Paginas(livro);
  ASSERT_EQ(paginas.size(), 7u);
  for (const auto& linha : paginas[0]) ASSERT_EQ(linha, "");
  EXPECT_NE(LinhaFolha(paginas[1]).find("PAGINA............: 00008  LIVRO....: 00001"), std::string::npos);
  EXPECT_NE(LinhaFolha(paginas[6]).find("PAGINA............: 00013"), std::string::npos);
  EXPECT_EQ(Numeracoes(), (std::vector<TNumeracao>{{1, 8, 13}}));

  banco::TComando q(conexao_->Db(),
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
  livro_->FPagina = 8;
  livro_->FFrenteVerso = true;
  interacao_.AdicionarResposta("nao");
  auto paginas = Paginas(Imprimir());
  EXPECT_EQ(Perguntas(), 1);
  ASSERT_EQ(paginas.size(), 6u);
  EXPECT_NE(LinhaFolha(paginas[0]).find("PAGINA............: 00008"), std::string::npos);
  EXPECT_EQ(Contar("SELECT PAGINAS FROM HS_PAGINASIMPRESSAS"), 6);
  EXPECT_EQ(Contar("SELECT PAGINAFINAL FROM HS_NUMERACAOLIVRO"), 13);
}

// An odd first page belongs on the front: nothing is asked. Single-sided: nothing is asked either.
TEST_F(LivroDefinitivo, SemPerguntaComPaginaImparOuFrenteSo) {
  Periodo(1, 1);
  Numeracao();
  livro_->FPagina = 3;
  livro_->FFrenteVerso = true;
  auto paginas = Paginas(Imprimir());
  EXPECT_EQ(Perguntas(), 0);
  EXPECT_NE(LinhaFolha(paginas[0]).find("PAGINA............: 00003"), std::string::npos);

  livro_->FPagina = 8;
  livro_->FFrenteVerso = false;
  paginas = Paginas(Imprimir());
  EXPECT_EQ(Perguntas(), 0);
  EXPECT_NE(LinhaFolha(paginas[0]).find("FOLHA.............: 00008"), std::string::npos);
}

// Several periods: each period start re-reads the numbering; the same book continues, and each
// period's row holds the pages that period printed (January 2 to 7, February 8 to 13).
TEST_F(LivroDefinitivo, VariosPeriodosNoMesmoLivro) {
  Periodo(1, 2);
  Numeracao();
  auto paginas = Paginas(Imprimir());
  ASSERT_EQ(paginas.size(), 13u);  // the opening term and 12 pages
  EXPECT_NE(LinhaFolha(paginas[12]).find("FOLHA.............: 00013  LIVRO....: 00001"), std::string::npos);
  EXPECT_EQ(Numeracoes(), (std::vector<TNumeracao>{{1, 2, 7}, {1, 8, 13}}));
  // Printing February again by itself goes on after January and keeps its pages.
  Periodo(2, 2);
  Numeracao();
  EXPECT_EQ(livro_->FPagina, 8);
  Imprimir();
  EXPECT_EQ(Numeracoes(), (std::vector<TNumeracao>{{1, 2, 7}, {1, 8, 13}}));
}

// A book of five pages: January fills book 1 (pages 2 to 7), so its closing term takes page 8;
// February goes to book 2, which opens with its term and is closed the same way.
TEST_F(LivroDefinitivo, LivroCheioEncerraEAbreOutro) {
  conexao_->Executar("UPDATE ES02_CFG SET INFORMACAO1 = '5' WHERE IDCFG = 3");
  Periodo(1, 2);
  Numeracao();
  auto paginas = Paginas(Imprimir());
  ASSERT_EQ(paginas.size(), 16u);
  EXPECT_NE(LinhaFolha(paginas[6]).find("FOLHA.............: 00007  LIVRO....: 00001"), std::string::npos);
  const auto& encerramento = paginas[7];
  EXPECT_EQ(Achar({encerramento}, "T E R M O   D E   E N C E R R A M E N T O").first, 0);
  EXPECT_EQ(Achar({encerramento}, "LIVRO: 00001   FOLHA: 00008").first, 0);
  EXPECT_EQ(Achar({encerramento}, "Contem este livro 8 folhas, numeradas tipograficamente de 1 a 8, que").first, 0);
  EXPECT_EQ(Achar({encerramento}, "Sao Paulo, 31 de janeiro de 2026.").first, 0);
  EXPECT_EQ(Achar({paginas[8]}, "LIVRO: 00002   FOLHA: 00001").first, 0);
  EXPECT_EQ(Achar({paginas[8]}, "Contem este livro 5 folhas").first, 0);
  EXPECT_NE(LinhaFolha(paginas[9]).find("FOLHA.............: 00002  LIVRO....: 00002"), std::string::npos);
  EXPECT_NE(LinhaFolha(paginas[14]).find("FOLHA.............: 00007  LIVRO....: 00002"), std::string::npos);
  EXPECT_EQ(Achar({paginas[15]}, "LIVRO: 00002   FOLHA: 00008").first, 0);
  EXPECT_EQ(Numeracoes(), (std::vector<TNumeracao>{{1, 2, 8}, {2, 2, 8}}));
}

// January to April fill folhas 2 to 25 of book 1 (six pages a month, as January's 2 to 7 and
// February's 8 to 13 above). A folha one of them holds, the opening term's folha 1 and a sixth
// digit are refused by name, before anything is printed or recorded; a book that would pass folha
// 99999 in the middle of the print records nothing.
TEST_F(LivroDefinitivo, FolhasJaImpressasTermoEDigitosRecusados) {
  Periodo(1, 4);
  Numeracao();
  Imprimir();
  const std::vector<TNumeracao> quatroMeses{{1, 2, 7}, {1, 8, 13}, {1, 14, 19}, {1, 20, 25}};
  ASSERT_EQ(Numeracoes(), quatroMeses);

  Periodo(5, 5);
  Numeracao();
  EXPECT_EQ(livro_->FPagina, 26);
  livro_->FPagina = 5;  // typed over January's folhas
  EXPECT_EQ(Recusa(), "A folha 5 do livro 1 já foi impressa para o período iniciado em 01/01/2026 (folhas 2 a 7); a "
                      "primeira folha livre do livro é a 26.");
  livro_->FPagina = 25;  // April's last folha
  EXPECT_NE(Recusa().find("A folha 25 do livro 1 já foi impressa para o período iniciado em 01/04/2026 (folhas 20 a 25)"),
            std::string::npos);
  livro_->FPagina = 1;
  EXPECT_EQ(Recusa(), "A impressão definitiva não pode começar na folha 1 do livro 1: a folha 1 é a do termo de "
                      "abertura; informe uma folha de 2 a 99999.");
  livro_->FPagina = 100005;
  EXPECT_NE(Recusa().find("não pode começar na folha 100005 do livro 1: as folhas vão de 1 a 99999"), std::string::npos);
  livro_->FPagina = 26;
  livro_->FLivro = 100000;
  EXPECT_NE(Recusa().find("Número do livro inválido: 100000"), std::string::npos);
  // Book 2 from folha 99999: the second page would print 100000.
  livro_->FLivro = 2;
  livro_->FPagina = 99999;
  EXPECT_EQ(Recusa(), "A folha 100000 do livro 2 passaria de cinco algarismos (99999); nada foi gravado.");
  EXPECT_EQ(Numeracoes(), quatroMeses);
  EXPECT_EQ(Contar("SELECT COUNT(*) FROM HS_PAGINASIMPRESSAS"), 1);

  // The folha after April's is free.
  livro_->FLivro = 1;
  livro_->FPagina = 26;
  auto paginas = Paginas(Imprimir());
  EXPECT_NE(LinhaFolha(paginas[0]).find("FOLHA.............: 00026  LIVRO....: 00001"), std::string::npos);
  EXPECT_EQ(Numeracoes().back(), (TNumeracao{1, 26, 25 + static_cast<int64_t>(paginas.size())}));
}

// Two definitive prints at once: February's form proposed folha 2 of book 1, then January's print
// of another program recorded folhas 1 to 7 (term and six pages) before February's print began.
// February chooses its folha again when it holds the write lock: 8, without a second opening term.
// A period earlier than one the book holds is refused, naming both.
TEST_F(LivroDefinitivo, FolhaEscolhidaAoGravarEPeriodoAnteriorRecusado) {
  Periodo(2, 2);
  Numeracao();
  ASSERT_EQ(livro_->FPagina, 2);
  livro_->FNumeracaoAutomatica = true;
  {
    TdmLivroICMS janeiro;
    janeiro.FIdFilial = 1;
    janeiro.FDataSetImpostos = &impostos_->GetDataSet();
    janeiro.FDataInicio = EncodeDate(2026, 1, 1);
    janeiro.FDataFim = EncodeDate(2026, 1, 31);
    janeiro.FImpressaoDefinitiva = true;
    janeiro.FNumeracaoAutomatica = true;
    janeiro.Prn().SetArquivoTexto(Arquivo("janeiro.txt"));
    ASSERT_TRUE(janeiro.Imprimir());
  }
  auto paginas = Paginas(Imprimir());
  ASSERT_EQ(paginas.size(), 6u);
  EXPECT_NE(LinhaFolha(paginas[0]).find("FOLHA.............: 00008  LIVRO....: 00001"), std::string::npos);
  EXPECT_EQ(Numeracoes(), (std::vector<TNumeracao>{{1, 2, 7}, {1, 8, 13}}));

  // February first, then January.
  conexao_->Executar("DELETE FROM HS_NUMERACAOLIVRO WHERE DATA = '2026-01-01'");
  conexao_->Executar("UPDATE HS_NUMERACAOLIVRO SET PAGINAINICIAL = 2, PAGINAFINAL = 7");
  Periodo(1, 1);
  Numeracao();
  livro_->FNumeracaoAutomatica = true;
  EXPECT_EQ(Recusa(), "O livro 1 já tem o período iniciado em 01/02/2026 (folhas 2 a 7); o período iniciado em "
                      "01/01/2026, anterior a ele, não pode ser impresso depois nesse livro.");
  EXPECT_EQ(Numeracoes(), (std::vector<TNumeracao>{{1, 2, 7}}));
  // A recorded date that is not a date (written by another program) is named as it was stored.
  conexao_->Executar("UPDATE HS_NUMERACAOLIVRO SET DATA = '2026-02-31'");
  EXPECT_CONTEM(Recusa(), "O livro 1 já tem o período iniciado em '2026-02-31' (folhas 2 a 7); o período");
}

// January printed single-sided (FOLHA) keeps its book in that mode: February double-sided
// (PAGINA) in the same book is refused, naming the book and both modes; single-sided it goes on.
TEST_F(LivroDefinitivo, UmLivroUmaNumeracao) {
  Periodo(1, 1);
  Numeracao();
  Imprimir();
  EXPECT_EQ(Contar("SELECT FRENTEVERSO FROM HS_NUMERACAOLIVRO"), 1);
  Periodo(2, 2);
  Numeracao();
  livro_->FFrenteVerso = true;
  EXPECT_EQ(Recusa(), "O livro 1 é impresso só na frente (FOLHA) desde o período iniciado em 01/01/2026; uma impressão "
                      "frente e verso (PÁGINA) nesse livro é recusada: um livro tem uma só numeração.");
  EXPECT_EQ(Numeracoes(), (std::vector<TNumeracao>{{1, 2, 7}}));
  livro_->FFrenteVerso = false;
  Imprimir();
  EXPECT_EQ(Numeracoes(), (std::vector<TNumeracao>{{1, 2, 7}, {1, 8, 13}}));
}

// Without definitive printing the numbering is neither read nor recorded: page 2 of book 1. Its
// numbers are those of a book, so every page says it is not one: the mark (51 characters, without
// accents as printed) ends at column 156, inside the frame's border at 157.
TEST_F(Livro, NaoDefinitivoNaoGravaNumeracao) {
  Periodo(1, 2);
  auto paginas = Paginas(Imprimir());
  EXPECT_NE(LinhaFolha(paginas[0]).find("FOLHA.............: 00002  LIVRO....: 00001"), std::string::npos);
  for (const auto& pagina : paginas) {
    const std::string linha = LinhaFolha(pagina);
    ASSERT_EQ(Desde(linha, 106), "*** IMPRESSAO NAO DEFINITIVA - SEM VALOR FISCAL ***|") << linha;
  }
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
  livro_->FPagina = 8;
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

// A book that cannot be put in place (here the PDF's target is a folder): the text book printed
// before stays as it was, no scratch file is left beside the targets, and the definitive
// numbering and the job are not recorded. The settlement itself stays recorded.
TEST_F(LivroDefinitivo, FalhaAoGravarNaoMexeNoLivroAnteriorNemNaNumeracao) {
  Periodo(1, 3);
  Numeracao();
  std::ofstream(Arquivo("livro.txt")) << "livro anterior\n";
  fs::create_directories(Arquivo("livro.pdf"));
  livro_->Prn().SetArquivoPdf(Arquivo("livro.pdf"));
  try {
    livro_->Imprimir();
    ADD_FAILURE() << "a impressão deveria falhar";
  } catch (const std::exception& e) {
    EXPECT_NE(std::string(e.what()).find("livro.pdf"), std::string::npos) << e.what();
  }
  EXPECT_EQ(Ler(Arquivo("livro.txt")), "livro anterior\n");
  int arquivos = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++arquivos;
  EXPECT_EQ(arquivos, 2);  // livro.txt and the folder
  EXPECT_EQ(Contar("SELECT COUNT(*) FROM HS_NUMERACAOLIVRO"), 0);
  EXPECT_EQ(Contar("SELECT COUNT(*) FROM HS_PAGINASIMPRESSAS"), 0);
  EXPECT_GT(Contar("SELECT COUNT(*) FROM TR04_IMPOSTO"), 0);
  EXPECT_FALSE(livro_->Prn().Aberto());
}

// Every write and rename of a definitive print made to fail in turn, the commit of its record
// included: each failure leaves the earlier text and PDF books and the recorded numbering as they
// were, with no scratch file beside them, and says which step failed; the print after the last
// point puts both books in place with January's folhas 2 to 7 recorded.
TEST_F(LivroDefinitivo, CadaFalhaDeixaArquivosENumeracaoDeAcordo) {
  Periodo(1, 1);
  Numeracao();
  livro_->FNumeracaoAutomatica = true;  // each attempt chooses its folha again, as the form's
  std::ofstream(Arquivo("livro.txt")) << "livro anterior\n";
  std::ofstream(Arquivo("livro.pdf")) << "pdf anterior\n";
  livro_->Prn().SetArquivoPdf(Arquivo("livro.pdf"));
  struct TRestaurar {
    ~TRestaurar() { impressao::GPontosDeFalha = {}; }
  } restaurar;
  int ponto = 1;
  for (;; ++ponto) {
    impressao::GPontosDeFalha = {0, ponto};
    bool falhou = false;
    try {
      livro_->Imprimir();
    } catch (const std::exception& e) {
      falhou = true;
      EXPECT_NE(std::string(e.what()).find("falha provocada em: "), std::string::npos) << ponto << ": " << e.what();
    }
    if (!falhou) break;
    SCOPED_TRACE("ponto " + std::to_string(ponto));
    ASSERT_EQ(Ler(Arquivo("livro.txt")), "livro anterior\n");
    ASSERT_EQ(Ler(Arquivo("livro.pdf")), "pdf anterior\n");
    int arquivos = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++arquivos;
    ASSERT_EQ(arquivos, 2);
    ASSERT_EQ(Contar("SELECT COUNT(*) FROM HS_NUMERACAOLIVRO"), 0);
    ASSERT_EQ(Contar("SELECT COUNT(*) FROM HS_PAGINASIMPRESSAS"), 0);
  }
  // The text and the PDF are each created, written page by page (the term and six pages) and
  // closed (2 x 9), each put in place after its earlier file is set aside (2 x 2), and the record
  // is committed: 23 points; the 24th is never reached.
  EXPECT_EQ(ponto, 24);
  EXPECT_EQ(Paginas(Ler(Arquivo("livro.txt"))).size(), 7u);
  EXPECT_EQ(Numeracoes(), (std::vector<TNumeracao>{{1, 2, 7}}));
  EXPECT_EQ(Contar("SELECT COUNT(*) FROM HS_PAGINASIMPRESSAS"), 1);
}

// --- Prints killed ----------------------------------------------------------------------------

// January printed definitively into a text and a PDF book by a child process on a database file,
// with earlier books in place; the child dies (SIGKILL) at the n-th write or rename of its print.
class LivroInterrompido : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("livro_interrompido_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "banco");
    fs::create_directories(dir_ / "saida");
    banco_ = (dir_ / "banco" / "escrita.db").string();
    TQDConnection::Criar(banco_)->CarregarDemo();
    LivrosAnteriores();
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Saida(const std::string& nome) const { return (dir_ / "saida" / nome).string(); }
  void LivrosAnteriores() {
    std::ofstream(Saida("livro.txt")) << "livro anterior\n";
    std::ofstream(Saida("livro.pdf")) << "pdf anterior\n";
  }

  // Runs `f` with a host over the database file and the module set for January's definitive book.
  template <class F>
  void ComLivro(F&& f) {
    auto conexao = TQDConnection::Abrir(banco_);
    TInteracaoRoteirizada interacao;
    THost host(*conexao, interacao);
    TFrameSelecionarImpostos impostos(*conexao);
    impostos.MarcarTodos(true);
    TLivroSonda livro;
    livro.FIdFilial = 1;
    livro.FIdEmpresa = 1;
    livro.FDataSetImpostos = &impostos.GetDataSet();
    livro.FDataInicio = EncodeDate(2026, 1, 1);
    livro.FDataFim = EncodeDate(2026, 1, 31);
    livro.FImpressaoDefinitiva = true;
    livro.FNumeracaoAutomatica = true;
    livro.Prn().SetArquivoTexto(Saida("livro.txt"));
    livro.Prn().SetArquivoPdf(Saida("livro.pdf"));
    f(*conexao, interacao, livro);
  }

  // True when the child printing January was killed at point `ponto`; false when it got past
  // every point and printed.
  bool MorreuNoPonto(int ponto) {
    const pid_t filho = ::fork();
    if (filho == 0) {
      int codigo = 3;
      try {
        ComLivro([&](TQDConnection&, TInteracaoRoteirizada&, TLivroSonda& livro) {
          impressao::GPontosDeFalha = {0, ponto, true};
          codigo = livro.Imprimir() ? 0 : 2;
        });
      } catch (...) {
        codigo = 1;
      }
      impressao::SalvarCobertura();
      ::_exit(codigo);
    }
    int estado = 0;
    ::waitpid(filho, &estado, 0);
    if (WIFSIGNALED(estado)) {
      EXPECT_EQ(WTERMSIG(estado), SIGKILL);
      return true;
    }
    EXPECT_EQ(WEXITSTATUS(estado), 0);
    return false;
  }

  int64_t Contar(TQDConnection& c, const std::string& tabela) {
    return c.Db().execAndGet("SELECT COUNT(*) FROM " + tabela).getInt64();
  }
  size_t Arquivos(const fs::path& pasta) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(pasta)) ++n;
    return n;
  }

  fs::path dir_;
  std::string banco_;
};

// Killed at every write and rename of its print, a definitive print leaves at worst its new books
// in place and nothing recorded (or its record with what it replaced still aside); the next print,
// before it chooses its folhas, puts the earlier books back (and says so) or keeps the recorded
// ones, so that the books on disk and the numbering agree: either January on folhas 2 to 7 with its
// job recorded and its seven pages (the term and six) in the text book, or nothing recorded and
// the earlier books untouched. No journal, scratch or aside file is left. Both cases occur: the
// kill after the renames and before the commit, and the kill after the commit.
TEST_F(LivroInterrompido, ArquivosENumeracaoDeAcordoDepoisDeUmaMorte) {
  int desacordos = 0, registradas = 0, ponto = 1;
  for (; MorreuNoPonto(ponto); ++ponto) {
    SCOPED_TRACE("ponto " + std::to_string(ponto));
    ComLivro([&](TQDConnection& c, TInteracaoRoteirizada& interacao, TLivroSonda& livro) {
      const bool novo = Ler(Saida("livro.txt")) != "livro anterior\n";
      desacordos += novo && Contar(c, "HS_NUMERACAOLIVRO") == 0;
      livro.RepararImpressoesInterrompidas();
      const std::string txt = Ler(Saida("livro.txt")), pdf = Ler(Saida("livro.pdf"));
      if (Contar(c, "HS_NUMERACAOLIVRO") == 0) {
        EXPECT_EQ(txt, "livro anterior\n");
        EXPECT_EQ(pdf, "pdf anterior\n");
        EXPECT_EQ(Contar(c, "HS_PAGINASIMPRESSAS"), 0);
        if (novo) {  // the message naming the book put back
          bool avisou = false;
          for (const auto& m : interacao.Registro()) avisou |= m.find(Saida("livro.txt") + " no lugar") != std::string::npos;
          EXPECT_TRUE(avisou);
        }
      } else {
        ++registradas;
        banco::TComando q(c.Db(), "SELECT LIVRO, PAGINAINICIAL, PAGINAFINAL FROM HS_NUMERACAOLIVRO");
        ASSERT_TRUE(q.executeStep());
        EXPECT_EQ(q.getColumn(0).getInt() * 10000 + q.getColumn(1).getInt() * 100 + q.getColumn(2).getInt(), 10207);
        EXPECT_EQ(Contar(c, "HS_PAGINASIMPRESSAS"), 1);
        EXPECT_EQ(Paginas(txt).size(), 7u);
        EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
        c.Executar("DELETE FROM HS_NUMERACAOLIVRO; DELETE FROM HS_PAGINASIMPRESSAS");
        LivrosAnteriores();
      }
    });
    ASSERT_EQ(Arquivos(dir_ / "saida"), 2u);
    for (const auto& e : fs::directory_iterator(dir_ / "banco"))
      ASSERT_EQ(e.path().filename().string().find(".impressao."), std::string::npos) << e.path();
  }
  EXPECT_GT(desacordos, 0);
  EXPECT_GT(registradas, 0);
  EXPECT_GT(ponto, 20);
  ComLivro([&](TQDConnection& c, TInteracaoRoteirizada&, TLivroSonda&) { EXPECT_EQ(Contar(c, "HS_NUMERACAOLIVRO"), 1); });
  EXPECT_EQ(Paginas(Ler(Saida("livro.txt"))).size(), 7u);
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
  EXPECT_NE(anterior[60].find("Modulo 58140"), std::string::npos);
  EXPECT_EQ(anterior[61], "");
  // A forced break regardless of the line.
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
  EXPECT_EQ(texto::Copiar(Linha(11), 15, 35), "C R E D I T O   D O   I M P O S T O");
  EXPECT_EQ(livro_->FLinha, 13);

  livro_->FLinha = 30;
  livro_->FTipoSessao = tsSaldo;
  livro_->ImprimirCabecalhoSessao();
  EXPECT_EQ(texto::Copiar(Linha(30), 15, 33), "A P U R A C A O   D O   S A L D O");
  EXPECT_EQ(Linha(30).find("COLUNA AUXILIAR"), std::string::npos);
  EXPECT_EQ(Linha(29), "");
  EXPECT_EQ(texto::Copiar(Linha(31), 7, 2), "|-");
  // The word runs down the left margin from the title line.
  for (int k = 0; k < 5; ++k) EXPECT_EQ(texto::Copiar(Linha(30 + k), 4, 1), std::string(1, "SALDO"[k]));
  EXPECT_EQ(livro_->FLinha, 32);
  livro_->Prn().Fechar();
}

// A register title and its six heading lines never end a page: with 88 lines the body ends on
// line 81, so a heading begun on line 74 keeps its first row on 81, and one due on line 75 starts
// the next page, under the header (line 9 for this ICMS-ST summary), leaving the line at 16.
TEST_F(LivroPagina, TituloDoRegistroNuncaTerminaAPagina) {
  Abrir(TLinha::Oito);
  livro_->FTipoSessao = tsSaidas;
  livro_->FLinha = 74;
  livro_->ImprimirCabecalhoSessao();
  EXPECT_EQ(QtdePaginas(), 1u);
  EXPECT_NE(Linha(74).find(" S A I D A S "), std::string::npos);
  EXPECT_EQ(livro_->FLinha, 81);
  livro_->FLinha = 75;
  livro_->ImprimirCabecalhoSessao();
  ASSERT_EQ(QtdePaginas(), 2u);
  EXPECT_NE(Linha(9).find(" S A I D A S "), std::string::npos);
  EXPECT_EQ(livro_->FLinha, 16);
  livro_->Prn().Fechar();
}

// A CFOP whose 60-character description takes two rows (51 characters, then the 52nd to 60th six
// blanks in) due on the body's last line (81 of 88) goes whole to the next page, under its header.
TEST_F(LivroPagina, SegundaLinhaDaDescricaoNaoAbreAPaginaSozinha) {
  Abrir(TLinha::Oito);
  livro_->FTipoSessao = tsSaidas;
  TRegistros registros;
  TRegistro* r = registros.Add();
  r->SetCFOP("5.102");
  r->SetDescricaoCFOP(std::string(51, 'A') + "BCDEFGHIJ");
  livro_->FLinha = 81;
  livro_->ImprimirSessaoRegistro(registros, "      SUBTOTAIS SAIDAS", {"5", "6", "7"}, 0);
  ASSERT_EQ(QtdePaginas(), 2u);
  EXPECT_TRUE(texto::ComecaCom(Desde(Linha(9), 2), "  |5.102 " + std::string(51, 'A') + "|")) << Linha(9);
  EXPECT_TRUE(texto::ComecaCom(Desde(Linha(10), 2), "  |      BCDEFGHIJ ")) << Linha(10);
  livro_->Prn().Fechar();
}

// --- Host settings and outputs ----------------------------------------------------------------

// The book's texts lose their accents by default, so none of them mixes spellings; asked to keep
// them (--acentos), every text keeps its own.
TEST_F(Livro, AcentosSoQuandoPedidos) {
  Periodo(1, 1);
  std::string livro = Imprimir();
  EXPECT_NE(livro.find("R E G I S T R O   D E   A P U R A C A O   D O   I C M S"), std::string::npos);
  EXPECT_NE(livro.find("OPERACOES COM CREDITO DO IMPOSTO"), std::string::npos);
  for (unsigned char c : livro) ASSERT_LT(c, 0x80);
  livro_->Prn().SetSemAcento(false);
  livro = Imprimir();
  EXPECT_NE(livro.find("R E G I S T R O   D E   A P U R A Ç Ã O   D O   I C M S"), std::string::npos);
  EXPECT_NE(livro.find("ENDEREÇO..........: RUA VERGUEIRO 1500"), std::string::npos);
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
  EXPECT_NE(txt.find("Modulo 58140"), std::string::npos);

  // For the archive: what the book is, the office that printed it (the demo's CA06_USUARIO), the
  // establishment with its codes and registration and the three months, the job's date (the
  // module's clock: 15/04/2026 14:05:09).
  const std::string iso = Executar("pdfinfo -isodates '" + Arquivo("livro.pdf") + "'");
  EXPECT_CONTEM(iso, "Livro Registro de Apuração do ICMS - modelo P9 - impressão não definitiva");
  EXPECT_CONTEM(iso, "Escritório Contábil Modelo Ltda");
  EXPECT_CONTEM(iso, "Comercial Exemplo Ltda (EMP= 1/ESTAB= 1, IE 110.042.490.114) - 01/01/2026 a 31/03/2026");
  EXPECT_CONTEM(iso, "2026-04-15T14:05:09");
  // The font goes with the document when the system has one of the monospaced TrueType fonts.
  bool temFonte = false;
  for (const auto& f : impressao::kFontesPdf) temFonte |= fs::exists(f.normal) && fs::exists(f.negrito);
  if (!temFonte || !Existe("pdffonts")) return;
  const std::string fontes = Executar("pdffonts '" + Arquivo("livro.pdf") + "'");
  EXPECT_EQ(fontes.find("Courier"), std::string::npos) << fontes;
  std::istringstream linhas(fontes);
  int embutidas = 0;
  for (std::string l; std::getline(linhas, l);)
    if (l.find("TrueType") != std::string::npos) {
      EXPECT_NE(l.find(" yes "), std::string::npos) << l;
      ++embutidas;
    }
  EXPECT_GE(embutidas, 1) << fontes;
}

// March in sixths with suffix detail: the exits outgrow the first page and go on under the page
// header and their headings; the summary's long observation list breaks its page the same way.
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
  // The exits go on under their section's title and column headings (lines 8 to 14: the title
  // line, five heading lines and their dashes), then the rows left.
  EXPECT_NE(paginas[1][7].find(" S A I D A S "), std::string::npos) << paginas[1][7];
  EXPECT_TRUE(texto::ComecaCom(paginas[1][8], "|                         CODIFICACAO"));
  EXPECT_TRUE(texto::ComecaCom(paginas[1][11], "|O |                        FISCAL"));
  EXPECT_TRUE(texto::ComecaCom(paginas[1][14], "|  |7.000 PARA O EXTERIOR"));
  EXPECT_TRUE(texto::ComecaCom(paginas[1][15], "|  |      TOTAIS"));
  // The observation due on the closing line (the 18th: the guide's text takes two lines) goes to
  // the next page instead, under the section's title and its dashes (lines 8 and 9; no amount
  // columns to head there): the 18th on line 10, the 40th on line 32.
  EXPECT_EQ(paginas[2][59], "|" + std::string(155, '-') + "|");
  EXPECT_TRUE(texto::ComecaCom(paginas[2][58], "| Linha de observacao 17 "));
  EXPECT_TRUE(texto::ComecaCom(paginas[3][7], "|             I N F O R M A C O E S   C O M P L E M E N T A R E S "));
  EXPECT_EQ(paginas[3][8], "|" + std::string(155, '-') + "|");
  EXPECT_TRUE(texto::ComecaCom(paginas[3][9], "| Linha de observacao 18 "));
  EXPECT_TRUE(texto::ComecaCom(paginas[3][31], "| Linha de observacao 40 "));
}

// Item 006 of March with 71 other credits of 1,00 (10/03, "Credito avulso 01" to "71") besides the
// demo's 845,30 of 31/03: 72 details, at 66 lines a page (body up to line 59, closing dashes on the
// line after the last one written). The registers take page 1. Page 2, the summary's first:
// column heading (lines 8 to 10, the debits' title on 10), dashes (11), 001 to 004 (12 to 15),
// dashes (16), the credits' title (17), dashes (18), 005 (19), 006 (20, the side word's "D") and
// details 01 to 39 (21 to 59).
// Page 3 opens as a page of the credits: "VALORES" (8), dashes (9), the columns' heading over the
// credits' title without the side word (10), dashes from column 7 (11), 006 marked as continued
// (12), details 40 to 71 (13 to 44) and the demo's (45) with 845,30 and the item's 71 x 1,00 +
// 845,30 = 916,30. Then 007 to 010 (46 to 49), dashes (50), the balance's title and dashes (51,
// 52), 011, 012 with its demo detail, 013, 014 (53 to 57) and dashes (58). The complementary
// information's title would fall on line 59 with its dashes and the guides' captions below the
// body: it begins page 4 instead, and page 3 closes on line 59.
TEST_F(Livro, SecaoContinuadaRepeteCabecalhosEONumeroDoItem) {
  std::string sql;
  for (int i = 1; i <= 71; ++i)
    sql += "INSERT INTO ES02_LCTOAPUR (IDLCTOAPUR, IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, IDLCTOAPURCOD, IDCODIGOREC,"
           " VALOR, DATA, DATAFIM, DESCRICAO, ORIGEM, IDORIGEM, GERADO) VALUES (" + std::to_string(9000 + i) +
           ", 1, 1, 1, '2001', 0, 0, 1.00, '2026-03-10', '2026-03-10', 'Credito avulso " + FormatarZeros(i, 2) +
           "', 0, 0, 0);";
  conexao_->Executar(sql);
  Periodo(3, 3);
  impostos_->MarcarCodigos({"2001"});
  livro_->SetFormatoImpressao(TLinha::Seis);
  auto paginas = Paginas(Imprimir());
  ASSERT_EQ(paginas.size(), 4u);
  const std::string tracos = "|" + std::string(155, '-') + "|";
  EXPECT_TRUE(texto::ComecaCom(paginas[1][19], "|  D  | 006 - OUTROS CREDITOS (DISCRIMINAR ABAIXO) "));
  EXPECT_TRUE(texto::ComecaCom(paginas[1][58], "|     |       10/03/2026 - Credito avulso 39 "));
  EXPECT_EQ(paginas[1][59], tracos);

  EXPECT_EQ(Desde(paginas[2][7], 120), std::string(8, ' ') + "VALORES" + std::string(22, ' ') + "|");
  EXPECT_EQ(paginas[2][8], tracos);
  EXPECT_TRUE(texto::ComecaCom(paginas[2][9], "|     |       C R E D I T O   D O   I M P O S T O "));
  EXPECT_EQ(Desde(paginas[2][9], 105), "|     COLUNA AUXILIAR     |          SOMAS          |");
  EXPECT_EQ(paginas[2][10], "|     |" + std::string(149, '-') + "|");
  EXPECT_TRUE(texto::ComecaCom(paginas[2][11], "|     | 006 - OUTROS CREDITOS (DISCRIMINAR ABAIXO) (CONTINUACAO) "));
  EXPECT_TRUE(texto::ComecaCom(paginas[2][12], "|     |       10/03/2026 - Credito avulso 40 "));
  EXPECT_TRUE(texto::ComecaCom(paginas[2][43], "|     |       10/03/2026 - Credito avulso 71 "));
  EXPECT_TRUE(texto::ComecaCom(paginas[2][44], "|     |       31/03/2026 - Outros creditos - ressarcimento"));
  EXPECT_EQ(Desde(paginas[2][44], 105), "|                   845,30|                   916,30|");
  EXPECT_TRUE(texto::ComecaCom(paginas[2][45], "|     | 007 - "));
  EXPECT_TRUE(texto::ComecaCom(paginas[2][56], "|     | 014 - "));
  EXPECT_EQ(paginas[2][57], tracos);
  EXPECT_EQ(paginas[2][58], tracos);
  EXPECT_EQ(Achar(paginas, "I N F O R M A C O E S").first, 3);
}
