// Report form TForm58140 over the demo office: proposal and host settings on creation, date checks,
// lookups, tax choice, definitive-book numbering and the request it hands to the printing module.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ambiente.h"
#include "forms/form58140.h"
#include "forms/observacoes.h"
#include "host/servicos/periodos.h"
#include "host/servicos/selecaoimpostos.h"
#include "relatorio/livroicms.h"

namespace {

std::vector<std::string> Marcados(TQDClientDataSet& ds) {
  std::vector<std::string> r;
  for (ds.First(); !ds.Eof(); ds.Next())
    if (ds.FieldByName("MARCADO").AsInteger() == 1) r.push_back(ds.FieldByName("CODIGO").AsString());
  return r;
}

// The form with the module's print replaced by a record of the call (the request is in the module).
class TFormEnsaio : public TForm58140 {
 public:
  using TForm58140::TForm58140;
  int Impressoes = 0;
  bool AcaoHabilitada = true;         // the print action while the module printed
  std::vector<std::string> Impostos;  // codes marked in the data set handed over

 protected:
  bool ImprimirModulo() override {
    ++Impressoes;
    AcaoHabilitada = ActImprimirEnabled;
    Impostos = Marcados(*Modulo().FDataSetImpostos);
    return true;
  }
};

class Formulario : public AmbienteTeste {
 protected:
  void SetUp() override {
    AmbienteTeste::SetUp();
    FormPrincipal->IdEmpresaAtual = 1;
    FormPrincipal->IdFilialAtual = 1;
    modulo_ = std::make_unique<TdmLivroICMS>();
    form_ = std::make_unique<TFormEnsaio>(*modulo_);
    form_->Relogio = [] { return EncodeDate(2026, 2, 10); };
  }
  void TearDown() override {
    form_.reset();
    modulo_.reset();
    AmbienteTeste::TearDown();
  }
  // Creates the form anew (after the host settings of a test were changed).
  TFormEnsaio& Criar() { form_->FormCreate(); return *form_; }

  const std::vector<std::string>& Mensagens() { return interacao_->Registro(); }

  std::unique_ptr<TdmLivroICMS> modulo_;
  std::unique_ptr<TFormEnsaio> form_;
};

// The host's company and establishment; the month before today's (December of the year before in
// January) to the end of the establishment's period; double-sided only when the host's setting is
// 2; the footer's date and time always (1), at the user's choice (3) or never (anything else).
TEST_F(Formulario, CriacaoPropoeOPeriodoAnteriorEAsOpcoesDoHost) {
  TFormEnsaio& f = Criar();
  EXPECT_EQ(f.lkpEmpresa.Descricao, "Comercial Exemplo Ltda");
  EXPECT_EQ(f.lkpFilial.Id, 1);
  EXPECT_EQ(f.edtDataInicio.Text + " a " + f.edtDataFim.Text, "01/01/2026 a 31/01/2026");
  struct Caso { int mes, dia; TPeriodicidade periodicidade; const char *intervalo, *config;
                bool frenteVerso, rodape, rodapeHabilitado; };
  for (Caso c : {Caso{1, 31, periodicidade::Mensal, "01/12/2025 a 31/12/2025", "2", true, false, false},
                 Caso{2, 10, periodicidade::Trimestral, "01/01/2026 a 31/03/2026", "1", false, true, false},
                 Caso{2, 10, periodicidade::Quinzenal, "01/01/2026 a 15/01/2026", "3", false, false, true},
                 Caso{2, 10, periodicidade::Mensal, "01/01/2026 a 31/01/2026", "0", false, false, false}}) {
    form_->Relogio = [c] { return EncodeDate(2026, c.mes, c.dia); };
    Sql("UPDATE HS_PERIODICIDADE SET PERIODICIDADE = " + std::to_string(c.periodicidade) + " WHERE IDFILIAL = 1;" +
        "UPDATE HS_CONFIG SET VALOR = '" + c.config + "' WHERE CHAVE IN ('FRENTE_VERSO', 'RODAPE')");
    f.chkRodape.Checked = f.chkRodape.Enabled = true;  // whatever was there before
    Criar();
    EXPECT_EQ(f.edtDataInicio.Text + " a " + f.edtDataFim.Text, c.intervalo) << NomePeriodicidade(c.periodicidade);
    EXPECT_EQ(f.chkImpressaoFrenteVerso.Checked, c.frenteVerso) << "FRENTE_VERSO " << c.config;
    EXPECT_EQ(f.chkRodape.Checked, c.rodape) << "RODAPE " << c.config;
    EXPECT_EQ(f.chkRodape.Enabled, c.rodapeHabilitado) << "RODAPE " << c.config;
  }
}

// Empty or invalid dates, and a start after the end (which sends the focus back to the start), are
// refused with one warning each; equal dates pass. Leaving a field checks that field only.
TEST_F(Formulario, DatasInvalidasSaoRecusadasEEnterNaInicialRecalculaOFim) {
  // Quarterly from April on (the period is looked up again for a new start date).
  Sql("UPDATE HS_PERIODICIDADE SET DATAFIM = '2026-03-31' WHERE IDFILIAL = 1;"
      "INSERT INTO HS_PERIODICIDADE (IDFILIAL, DATAINICIO, DATAFIM, PERIODICIDADE) VALUES (1, '2026-04-01', NULL, 9)");
  TFormEnsaio& f = Criar();
  struct Caso { const char *inicio, *fim, *mensagem; };
  for (Caso c : {Caso{"", "31/01/2026", "Data inválida."}, Caso{"31/02/2026", "31/01/2026", "Data inválida."},
                 Caso{"ontem", "31/01/2026", "Data inválida."}, Caso{"01/01/2026", "", "Data inválida."},
                 Caso{"01/02/2026", "31/01/2026", "A data final deve ser maior que a data inicial."}}) {
    f.edtDataInicio.Text = c.inicio;
    f.edtDataFim.Text = c.fim;
    EXPECT_THROW(f.ValidarCampos(TControle::Nenhum), ECampoInvalido) << c.inicio << " a " << c.fim;
    EXPECT_EQ(Mensagens().back(), std::string("[aviso] ") + c.mensagem);
  }
  EXPECT_EQ(Mensagens().size(), 5u);
  EXPECT_EQ(f.Foco, TControle::edtDataInicio);
  f.edtDataFim.Text = "01/02/2026";
  EXPECT_NO_THROW(f.ValidarCampos(TControle::Nenhum));

  f.edtDataInicio.Text = "01/03/2026";
  f.edtDataFim.Text = "xx";
  EXPECT_NO_THROW(f.edtDataInicioExit());  // the end is not its business
  f.edtDataFim.Text = "31/01/2026";
  EXPECT_NO_THROW(f.ValidarCampos(TControle::edtDataInicio));  // nor the order of the two
  EXPECT_THROW(f.ValidarCampos(TControle::edtDataFim), ECampoInvalido);

  // Enter or Down on the start date recomputes the end with the period of the new start; Tab does not.
  f.edtDataInicioKeyDown(TTecla::Tab);
  EXPECT_EQ(f.edtDataFim.Text, "31/01/2026");
  f.edtDataInicioKeyDown(TTecla::Enter);
  EXPECT_EQ(f.edtDataFim.Text, "31/03/2026");
  f.edtDataInicio.Text = "2026-04-01";
  f.edtDataInicioKeyDown(TTecla::SetaAbaixo);
  EXPECT_EQ(f.edtDataInicio.Text, "01/04/2026");
  EXPECT_EQ(f.edtDataFim.Text, "30/06/2026");
  EXPECT_EQ(f.Periodicidade(), periodicidade::Trimestral);
  f.edtDataInicio.Text = "31/04/2026";
  EXPECT_THROW(f.edtDataInicioKeyDown(TTecla::Enter), ECampoInvalido);
  EXPECT_EQ(f.edtDataFim.Text, "30/06/2026");
  EXPECT_EQ(Mensagens().back(), "[aviso] Data inválida.");
  EXPECT_THROW(f.edtDataInicioExit(), ECampoInvalido);
}

TEST_F(Formulario, TrocarDeEmpresaLimpaOEstabelecimentoSoSeEleEraDeOutraEmpresa) {
  Sql("INSERT INTO SC00_EMPRESA (IDEMPRESA, EMPRESA, NOME) VALUES (9, 7, 'Outra Empresa SA');"
      "INSERT INTO SC00_FILIAL (IDFILIAL, IDEMPRESA, FILIAL, NOME, IDMUNICIPIO, EHMATRIZ) VALUES (90, 9, 1, 'Outra Matriz', 1, 1)");
  TFormEnsaio& f = Criar();
  f.lkpEmpresaExit();  // same company: the establishment stays
  EXPECT_EQ(f.lkpFilial.Id, 1);

  ASSERT_TRUE(f.BuscarEmpresa(9));
  EXPECT_EQ(f.lkpEmpresa.Codigo, "7");
  f.lkpEmpresaExit();
  EXPECT_EQ(f.lkpFilial.Id, 0);
  EXPECT_TRUE(f.lkpFilial.Descricao.empty());

  EXPECT_FALSE(f.BuscarFilial(1));  // establishment of company 1: not offered for company 9
  EXPECT_EQ(f.lkpFilial.Filtro, "IDEMPRESA = 9");
  EXPECT_EQ(Mensagens().back(), "[aviso] Registro não encontrado.");
  ASSERT_TRUE(f.BuscarFilial(90));
  EXPECT_EQ(f.lkpFilial.Descricao, "Outra Matriz");
  f.lkpEmpresaExit();
  EXPECT_EQ(f.lkpFilial.Id, 90);

  EXPECT_FALSE(f.BuscarEmpresa(99));
  EXPECT_EQ(f.lkpEmpresa.Id, 0);
}

// The radios mark the own ICMS, every ST code or all in the host's selection; "Select" opens the
// dialog at once and what is marked there is printed, nothing marked meaning every tax.
TEST_F(Formulario, EscolhaDosImpostosChegaAoModulo) {
  TFormEnsaio& f = Criar();
  TQDClientDataSet& ds = f.GetDataSetImpostos();
  const size_t total = static_cast<size_t>(ds.RecordCount());
  f.rbTodosClick(TEscolhaImpostos::ICMS);
  EXPECT_EQ(Marcados(ds), std::vector<std::string>{"2001"});
  f.rbTodosClick(TEscolhaImpostos::ICMSST);
  const auto st = Marcados(ds);
  EXPECT_EQ(st.size(), total - 1);
  EXPECT_EQ(std::count(st.begin(), st.end(), "2001"), 0);
  EXPECT_FALSE(f.btnSelecionarImpostosEnabled);
  f.rbTodosClick(TEscolhaImpostos::Todos);
  EXPECT_EQ(Marcados(ds).size(), total);

  f.rbTodosClick(TEscolhaImpostos::Custom);  // dialog closed without marking anything
  EXPECT_TRUE(f.btnSelecionarImpostosEnabled);
  EXPECT_TRUE(Marcados(ds).empty());
  ds.SetFilter("CODIGO = '2001'");  // a filter left on the data set hides no tax
  ds.SetFiltered(true);
  ASSERT_TRUE(f.Imprimir());
  EXPECT_EQ(f.Impostos.size(), total);

  int aberturas = 0;  // the dialog finds everything unmarked and unfiltered
  f.OnSelecionarImpostos = [&](TFrameSelecionarImpostos& frame) {
    ++aberturas;
    EXPECT_TRUE(Marcados(frame.GetDataSet()).empty());
    EXPECT_FALSE(frame.GetDataSet().GetFiltered());
    frame.MarcarCodigos({"4019"});
  };
  ds.SetFilter("CODIGO = '2001'");
  ds.SetFiltered(true);
  f.rbTodosClick(TEscolhaImpostos::Custom);
  EXPECT_EQ(aberturas, 1);
  ASSERT_TRUE(f.Imprimir());
  EXPECT_EQ(f.Impostos, std::vector<std::string>{"4019"});
}

TEST_F(Formulario, ImpressaoDefinitivaPropoeANumeracaoDoHostDe1A99999ETravaOsCfops) {
  // Book 3 ended at page 57 before January: page 58 is proposed.
  Sql("INSERT INTO HS_NUMERACAOLIVRO (IDFILIAL, IDCONFIGURACAO, MODULO, LIVRO, PAGINAINICIAL, PAGINAFINAL, DATA, GRAVADOEM)"
      " VALUES (1, 3, '07', 3, 40, 57, '2025-12-01', '01/12/2025 10:00:00')");
  TFormEnsaio& f = Criar();
  f.chkDetalharSufixoCfop.Checked = true;
  f.chkNaoImprimirDescricaoCFOP.Checked = true;
  f.chkImpressaoDefinitiva.Checked = true;
  f.chkImpressaoDefinitivaClick();
  EXPECT_TRUE(f.edtNumLivro.Enabled && f.edtNumPagina.Enabled);
  EXPECT_EQ(f.edtNumLivro.Text + "/" + f.edtNumPagina.Text, "3/58");
  EXPECT_EQ(modulo_->FIdConfiguracaoLivro, 3);  // ES02_CFG row of kind 5 of the demo
  const auto cfops = {&f.chkDetalharSufixoCfop, &f.chkNaoImprimirDescricaoCFOP};
  for (const TCaixa* c : cfops) EXPECT_FALSE(c->Checked || c->Enabled) << c->Caption;  // no suffix, descriptions

  // The page header prints five digits: 1 to 99999, checked on printing and on leaving each field.
  for (auto [livro, pagina] : {std::pair{"1", "100000"}, {"1", "0"}, {"1", "-3"}, {"1", ""}, {"99999999999", "2"}}) {
    f.edtNumLivro.Text = livro;
    f.edtNumPagina.Text = pagina;
    EXPECT_THROW(f.ActImprimirExecute(), ECampoInvalido) << livro << "/" << pagina;
  }
  ASSERT_EQ(Mensagens().size(), 5u);
  EXPECT_EQ(Mensagens()[0], "[aviso] Número da página inválido: \"100000\". Informe um número de 1 a 99999.");
  EXPECT_EQ(Mensagens()[4], "[aviso] Número do livro inválido: \"99999999999\". Informe um número de 1 a 99999.");
  EXPECT_EQ(f.Impressoes, 0);
  f.edtNumLivro.Text = "99999";
  f.edtNumPagina.Text = "99999";
  ASSERT_TRUE(f.Imprimir());
  EXPECT_TRUE(modulo_->FImpressaoDefinitiva);
  EXPECT_EQ(modulo_->FLivro, 99999);
  EXPECT_EQ(modulo_->FPagina, 99999);
  EXPECT_FALSE(modulo_->FNumeracaoAutomatica);  // typed: taken as typed (or refused by the print)
  EXPECT_FALSE(modulo_->FDetalharSufixoCfop);
  EXPECT_TRUE(modulo_->FImprimirDescricaoCfop);
  f.edtNumLivro.Text = "0";
  EXPECT_NO_THROW(f.ValidarCampos(TControle::edtNumPagina));
  EXPECT_THROW(f.ValidarCampos(TControle::edtNumLivro), ECampoInvalido);

  // Unchecked: the CFOP boxes unlock still unchecked, and the book starts at page 2 of book 1.
  f.chkImpressaoDefinitiva.Checked = false;
  f.chkImpressaoDefinitivaKeyDown(TTecla::Enter);
  EXPECT_FALSE(f.edtNumLivro.Enabled || f.edtNumPagina.Enabled);
  for (const TCaixa* c : cfops) EXPECT_TRUE(c->Enabled && !c->Checked) << c->Caption;
  ASSERT_TRUE(f.Imprimir());
  EXPECT_FALSE(modulo_->FImpressaoDefinitiva);
  EXPECT_EQ(modulo_->FLivro, 1);
  EXPECT_EQ(modulo_->FPagina, 2);
  EXPECT_FALSE(modulo_->FNumeracaoAutomatica);

  // The proposal left as it was: the print chooses the folha again when it records it.
  f.chkImpressaoDefinitiva.Checked = true;
  f.chkImpressaoDefinitivaClick();
  ASSERT_TRUE(f.Imprimir());
  EXPECT_EQ(modulo_->FLivro, 3);
  EXPECT_EQ(modulo_->FPagina, 58);
  EXPECT_TRUE(modulo_->FNumeracaoAutomatica);
}

TEST_F(Formulario, ImprimirEntregaOsCamposDaTelaAoModuloSoComPedidoCompleto) {
  TFormEnsaio& f = Criar();
  f.chkContabilizar.Checked = f.chkCalcularCIAP.Checked = f.chkRodape.Checked = true;
  f.chkSemMovimento.Checked = false;
  f.chkNaoImprimirDescricaoCFOP.Checked = true;
  f.chkDetalharSufixoCfop.Checked = true;
  f.chkImpressaoFrenteVerso.Checked = true;
  f.rbOitavos = false;
  f.rbSextos = true;
  ASSERT_TRUE(f.Imprimir());
  const TdmLivroICMS& m = *modulo_;
  EXPECT_EQ(m.FIdFilial, 1);
  EXPECT_EQ(m.FIdEmpresa, 1);
  EXPECT_EQ(m.FDataInicio, EncodeDate(2026, 1, 1));
  EXPECT_EQ(m.FDataFim, EncodeDate(2026, 1, 31));
  EXPECT_TRUE(m.FContabilizar);
  EXPECT_TRUE(m.FCalcularCIAP);
  EXPECT_TRUE(m.FImprimirRodape);
  EXPECT_FALSE(m.FImprimirSemMovimento);
  EXPECT_FALSE(m.FImprimirDescricaoCfop);
  EXPECT_TRUE(m.FDetalharSufixoCfop);
  EXPECT_TRUE(m.FFrenteVerso);
  EXPECT_EQ(m.GetFormatoImpressao(), impressao::TLinha::Seis);
  EXPECT_EQ(f.Foco, TControle::lkpEmpresa);
  // Accessory data only for an interval that is exactly one period.
  struct Caso { const char *ini, *fim; bool umPeriodo; };
  for (Caso c : {Caso{"01/01/2026", "31/01/2026", true}, Caso{"01/01/2026", "28/02/2026", false},
                 Caso{"01/01/2026", "15/01/2026", false}, Caso{"01/02/2026", "28/02/2026", true}}) {
    f.edtDataInicio.Text = c.ini;
    f.edtDataFim.Text = c.fim;
    ASSERT_TRUE(f.Imprimir());
    EXPECT_EQ(m.FSolicitarDadosAcessorios, c.umPeriodo) << c.ini << " a " << c.fim;
  }

  // The print action is off while the module prints, on again after it and after a failure; Enter
  // on "Oitavos" prints, Tab does not. Invalid dates or no line spacing: nothing is printed.
  f.Impressoes = 0;
  EXPECT_FALSE(f.rbOitavosKeyDown(TTecla::Tab));
  EXPECT_EQ(f.Impressoes, 0);
  EXPECT_TRUE(f.rbOitavosKeyDown(TTecla::Enter));
  EXPECT_EQ(f.Impressoes, 1);
  EXPECT_FALSE(f.AcaoHabilitada);
  EXPECT_TRUE(f.ActImprimirEnabled);
  f.edtDataFim.Text = "01/12/2025";
  EXPECT_THROW(f.ActImprimirExecute(), ECampoInvalido);
  EXPECT_TRUE(f.ActImprimirEnabled);
  f.edtDataFim.Text = "28/02/2026";
  f.rbOitavos = false;
  f.rbSextos = false;
  EXPECT_FALSE(f.Imprimir());
  EXPECT_EQ(f.Impressoes, 1);
  EXPECT_EQ(f.Foco, TControle::lkpEmpresa);
  EXPECT_EQ(Mensagens().back(), "[aviso] Selecione um formato de impressão.");
}

TEST_F(Formulario, ObservacoesAbremNoEstabelecimentoEIntervaloDoPedido) {
  TFormEnsaio& f = Criar();
  int exibido = 0;
  f.OnExibirObservacoes = [&](TForm58140Observacoes& obs) {
    ++exibido;
    EXPECT_EQ(obs.FIdFilialObs, 1);
    EXPECT_EQ(obs.lblTitulo, "Comercial Exemplo Ltda - 01/01/2026 a 31/01/2026");
    EXPECT_NE(obs.lkpImposto.Id, 0);  // the own ICMS, 2001
    EXPECT_EQ(obs.edtData.Text, "01/01/2026");
    EXPECT_EQ(obs.RecordCount(), 1);  // the demo's observation of 31/01/2026
  };
  f.ActObservacoesExecute();
  EXPECT_EQ(exibido, 1);
}

}  // namespace
