// Observations editor TForm58140Observacoes over the demo office: listing (interval, tax codes offered),
// edit vs insert by tax and date, field rules and messages, deletion, writing to ES02_LIVROOBS.
#include <gtest/gtest.h>

#include <string>

#include "ambiente.h"
#include "forms/observacoes.h"
#include "utilitarios.h"

namespace {

class Observacoes : public AmbienteTeste {
 protected:
  void SetUp() override {
    AmbienteTeste::SetUp();
    // Besides the demo's 2001 of 31/01/2026: February, an ST code, the group 2000, another establishment.
    Sql("INSERT INTO ES02_LIVROOBS (IDLIVROOBS, IDFILIAL, IMPOSTO, DATA, OBSERVACAO) VALUES"
        " (10, 1, '2001', '2026-02-10', 'fevereiro'),"
        " (11, 1, '4019', '2026-01-20', 'st do RJ'),"
        " (12, 1, '2000', '2026-01-05', 'grupo'),"
        " (13, 2, '2001', '2026-01-31', 'campinas')");
  }

  TForm58140Observacoes& Abrir(TDateTime ini = 0, TDateTime fim = 0) {
    obs_ = std::make_unique<TForm58140Observacoes>();
    obs_->FIdFilialObs = 1;
    obs_->FNomeFilial = "Matriz";
    obs_->FDataInicialLivro = ini;
    obs_->FDataFinalLivro = fim;
    obs_->FormShow();
    return *obs_;
  }

  // Types the tax, leaves the field, types the date and presses Enter.
  void AbrirRegistro(TForm58140Observacoes& o, const std::string& imposto, const std::string& data) {
    o.lkpImpostoEnter();
    o.BuscarImposto(imposto);
    o.lkpImpostoExit();
    o.edtData.Text = data;
    o.edtDataKeyDown(TTecla::Enter);
  }
  // The same, then types the text and saves.
  void Gravar(TForm58140Observacoes& o, const std::string& imposto, const std::string& data, const std::string& texto) {
    AbrirRegistro(o, imposto, data);
    o.mmoObs = texto;
    o.SalvarRegistro();
  }

  std::string Contar(const std::string& onde = "1 = 1") { return Valor("SELECT COUNT(*) FROM ES02_LIVROOBS WHERE " + onde); }
  const std::string& UltimaMensagem() { return interacao_->Registro().back(); }

  std::unique_ptr<TForm58140Observacoes> obs_;
};

std::string Datas(const TForm58140Observacoes& o) {
  std::string r;
  for (const auto& x : o.Linhas()) r += x.Imposto + "@" + DataBR(x.Data) + " ";
  return r;
}

// The establishment's observations without the group code 2000; with both dates of the book only
// those inside it, the interval in the title; one date alone is no interval.
TEST_F(Observacoes, ListaDoEstabelecimentoSemGruposNoIntervaloDoLivroEFiltradaPeloImposto) {
  struct Caso { TDateTime ini, fim; const char* titulo; const char* datas; };
  for (Caso c : {Caso{0, 0, "Matriz", "2001@31/01/2026 2001@10/02/2026 4019@20/01/2026 "},
                 Caso{EncodeDate(2026, 1, 1), EncodeDate(2026, 1, 31), "Matriz - 01/01/2026 a 31/01/2026",
                      "2001@31/01/2026 4019@20/01/2026 "},
                 Caso{EncodeDate(2026, 2, 1), 0, "Matriz", "2001@31/01/2026 2001@10/02/2026 4019@20/01/2026 "}}) {
    TForm58140Observacoes& o = Abrir(c.ini, c.fim);
    EXPECT_EQ(o.lblTitulo, c.titulo);
    EXPECT_EQ(Datas(o), c.datas) << c.titulo;
  }
  // The grid shows the text on one line; the field keeps its line breaks.
  Sql("UPDATE ES02_LIVROOBS SET OBSERVACAO = 'primeira' || char(13) || char(10) || 'segunda' || char(10) || 'terceira'"
      " WHERE IDLIVROOBS = 10");
  TForm58140Observacoes& o = Abrir();
  ASSERT_EQ(o.dbgObsDrawColumnCell(1, 0), "10/02/2026");
  EXPECT_EQ(o.dbgObsDrawColumnCell(1, 1), "2001");
  EXPECT_EQ(o.dbgObsDrawColumnCell(1, 2), "primeira  segunda terceira");
  ASSERT_TRUE(o.Posicionar(1));
  EXPECT_EQ(o.mmoObs, "primeira\r\nsegunda\nterceira");
  // Individual codes above 2000 only; one found filters the grid, entering the field shows all.
  for (const char* ok : {"2001", "4001", "4027"}) EXPECT_TRUE(o.BuscarImposto(ok)) << ok;
  for (const char* ruim : {"2000", "4000", "1000", "9999", "", "abc"}) EXPECT_FALSE(o.BuscarImposto(ruim)) << ruim;
  o.lkpImpostoEnter();
  EXPECT_TRUE(o.BuscarImposto("4019"));
  o.lkpImpostoExit();
  EXPECT_TRUE(o.Filtrado());
  EXPECT_EQ(Datas(o), "4019@20/01/2026 ");
  o.lkpImpostoEnter();
  EXPECT_EQ(o.RecordCount(), 3);
  EXPECT_FALSE(o.BuscarImposto("4000"));
  o.lkpImpostoExit();
  EXPECT_FALSE(o.Filtrado());
  EXPECT_EQ(o.RecordCount(), 3);
}

TEST_F(Observacoes, EnterOuDuploCliqueEditamAExistenteENovaDataIncluiCancelarDescarta) {
  TForm58140Observacoes& o = Abrir();
  // A date that has its observation: edited in place, the grid locked meanwhile.
  AbrirRegistro(o, "2001", "10/02/2026");
  EXPECT_EQ(o.Estado(), TEstadoDataSet::dsEdit);
  EXPECT_FALSE(o.pnlGradeEnabled);
  EXPECT_EQ(o.mmoObs, "fevereiro");
  o.mmoObs = "fevereiro revisto";
  o.SalvarRegistro();
  EXPECT_EQ(o.Estado(), TEstadoDataSet::dsBrowse);
  EXPECT_TRUE(o.pnlGradeEnabled);
  EXPECT_EQ(Contar(), "5");
  EXPECT_EQ(Valor("SELECT OBSERVACAO FROM ES02_LIVROOBS WHERE IDLIVROOBS = 10"), "fevereiro revisto");

  // A new date: inserted with the key after the highest in the table and the fields of the screen.
  AbrirRegistro(o, "4019", "2026-01-25");
  EXPECT_EQ(o.Estado(), TEstadoDataSet::dsInsert);
  ASSERT_NE(o.Atual(), nullptr);
  EXPECT_EQ(o.Atual()->IdLivroObs, 14);
  EXPECT_TRUE(o.mmoObs.empty());
  o.mmoObs = "linha 1\nlinha 2";
  o.SalvarRegistro();
  EXPECT_EQ(Linhas("SELECT IDFILIAL, IMPOSTO, DATA, OBSERVACAO FROM ES02_LIVROOBS WHERE IDLIVROOBS = 14"),
            "1|4019|2026-01-25|linha 1\nlinha 2\n");
  EXPECT_EQ(Datas(o), "4019@20/01/2026 4019@25/01/2026 ");
  EXPECT_FALSE(o.AlteracoesPendentes());

  // A code typed with blanks is stored trimmed (the book finds it) and opens the same one again.
  Gravar(o, " 2001 ", "2026-03-05", "março");
  EXPECT_EQ(Valor("SELECT IMPOSTO FROM ES02_LIVROOBS WHERE DATA = '2026-03-05'"), "2001");
  AbrirRegistro(o, "2001  ", "2026-03-05");
  EXPECT_EQ(o.Estado(), TEstadoDataSet::dsEdit);
  o.CancelarRegistro(TControle::Nenhum);

  // A double click on the grid edits the row with its tax and date in the fields; cancelling drops
  // the edit and the insertion alike.
  const std::string antes = TodasAsLinhas();
  o.lkpImpostoEnter();  // unfiltered: 2001 of 31/01, 10/02 and 05/03, then 4019 of 20/01
  ASSERT_TRUE(o.Posicionar(3));
  o.dbgObsDblClick();
  EXPECT_EQ(o.Estado(), TEstadoDataSet::dsEdit);
  EXPECT_EQ(o.Foco, TControle::mmoObs);
  EXPECT_EQ(o.lkpImposto.Codigo, "4019");
  EXPECT_NE(o.lkpImposto.Id, 0);
  EXPECT_EQ(o.edtData.Text, "20/01/2026");
  EXPECT_EQ(o.mmoObs, "st do RJ");
  o.mmoObs = "não vale";
  o.CancelarRegistro(TControle::Nenhum);
  EXPECT_EQ(o.Estado(), TEstadoDataSet::dsBrowse);
  EXPECT_EQ(o.Foco, TControle::lkpImposto);
  EXPECT_EQ(o.mmoObs, "st do RJ");

  AbrirRegistro(o, "2001", "11/02/2026");
  o.mmoObs = "também não";
  o.CancelarRegistro(TControle::Nenhum);
  o.SalvarRegistro();
  EXPECT_EQ(o.RecordCount(), 3);  // filtered by 2001
  EXPECT_EQ(TodasAsLinhas(), antes);
}

// A group code or one not offered, an empty or invalid date: refused with their message, nothing
// written; leaving the tax field checks the tax only.
TEST_F(Observacoes, CamposForaDasRegrasNaoSaoGravados) {
  TForm58140Observacoes& o = Abrir();
  const std::string antes = TodasAsLinhas();
  struct Caso { const char *imposto, *data, *mensagem; };
  for (Caso c : {Caso{"2000", "15/01/2026", "[erro] Imposto inválido."}, Caso{"9999", "15/01/2026", "[erro] Imposto inválido."},
                 Caso{"2001", "", "[aviso] Data inválida."}, Caso{"2001", "30/02/2026", "[aviso] Data inválida."}}) {
    EXPECT_THROW(Gravar(o, c.imposto, c.data, "x"), ECampoInvalido) << c.imposto << " " << c.data;
    EXPECT_EQ(UltimaMensagem(), c.mensagem);
    o.CancelarRegistro(TControle::Nenhum);
  }
  EXPECT_EQ(TodasAsLinhas(), antes);
  o.BuscarImposto("4000");
  o.edtData.Text = "";
  EXPECT_THROW(o.ValidarCampos(TControle::lkpImposto), ECampoInvalido);
  o.BuscarImposto("2001");
  EXPECT_NO_THROW(o.ValidarCampos(TControle::lkpImposto));
  Gravar(o, "2001", "01/01/1990", "antiga");  // no book interval: any valid date
  EXPECT_EQ(Valor("SELECT DATA FROM ES02_LIVROOBS WHERE OBSERVACAO = 'antiga'"), "1990-01-01");

  // January's book: its limits accepted, the dates around them refused.
  TForm58140Observacoes& janeiro = Abrir(EncodeDate(2026, 1, 1), EncodeDate(2026, 1, 31));
  janeiro.BuscarImposto("2001");
  for (auto [data, erro] : {std::pair{"31/12/2025", "Data menor que a data inicial do livro"}, {"01/01/2026", "(sem erro)"},
                            {"31/01/2026", "(sem erro)"}, {"01/02/2026", "Data maior que a data final do livro"}}) {
    janeiro.edtData.Text = data;
    EXPECT_EQ(Erro<ECampoInvalido>([&] { janeiro.ValidarCampos(TControle::edtData); }), erro) << data;
  }
  EXPECT_NO_THROW(janeiro.ValidarCampos(TControle::lkpImposto));  // leaving the tax field: the date is not looked at
  EXPECT_THROW(Gravar(janeiro, "2001", "01/02/2026", "fora"), ECampoInvalido);
  EXPECT_EQ(Contar("OBSERVACAO = 'fora'"), "0");
}

// The question defaults to No (no answer: the command line's test); "Não" keeps the observation,
// "Sim" deletes it; an empty grid asks nothing.
TEST_F(Observacoes, ExcluirPerguntaESoExcluiComSim) {
  TForm58140Observacoes& o = Abrir();
  ASSERT_TRUE(o.Localizar("4019", EncodeDate(2026, 1, 20)));
  interacao_->AdicionarResposta("Não");
  EXPECT_FALSE(o.ExcluirRegistro());
  EXPECT_EQ(UltimaMensagem(), "[pergunta] Confirmação: Deseja excluir esta observação? => NAO");
  EXPECT_EQ(o.RecordCount(), 3);
  EXPECT_EQ(Contar("IDLIVROOBS = 11"), "1");

  interacao_->AdicionarResposta("Sim");
  EXPECT_TRUE(o.ExcluirRegistro());
  EXPECT_EQ(o.RecordCount(), 2);
  EXPECT_EQ(Contar("IDLIVROOBS = 11"), "0");
  EXPECT_EQ(Contar(), "4");

  Sql("DELETE FROM ES02_LIVROOBS WHERE IDFILIAL = 1");
  const size_t mensagens = interacao_->Registro().size();
  EXPECT_FALSE(Abrir().ExcluirRegistro());
  EXPECT_EQ(interacao_->Registro().size(), mensagens);
}

TEST_F(Observacoes, BancoQueRecusaMostraOErroEGuardaAsAlteracoesPendentes) {
  RecusarInclusoes("ES02_LIVROOBS", "gravação recusada");
  TForm58140Observacoes& o = Abrir();
  const std::string erro = Erro<ECampoInvalido>([&] { Gravar(o, "2001", "20/02/2026", "nova"); });
  EXPECT_EQ(erro.rfind("Erro ao gravar as obervações.\r", 0), 0u) << erro;
  EXPECT_CONTEM(erro, "gravação recusada");
  EXPECT_EQ(UltimaMensagem().rfind("[erro] Erro ao gravar as obervações. ", 0), 0u) << UltimaMensagem();
  EXPECT_TRUE(o.AlteracoesPendentes());
  EXPECT_EQ(Contar(), "5");

  AceitarInclusoes("ES02_LIVROOBS");
  o.SalvarRegistro();  // the kept change goes in on the next save
  EXPECT_FALSE(o.AlteracoesPendentes());
  EXPECT_EQ(Valor("SELECT OBSERVACAO FROM ES02_LIVROOBS WHERE DATA = '2026-02-20'"), "nova");
}

}  // namespace
