// Report form TForm58140 over the demo office: creation defaults and host settings, date checks and
// their messages, the start-date shortcut, lookups, tax choice, definitive-book numbering and the
// request it hands to the printing module.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "ambiente.h"
#include "forms/form58140.h"
#include "forms/observacoes.h"
#include "host/servicos/selecaoimpostos.h"
#include "relatorio/livroicms.h"

namespace {

// What the form had handed to the printing module when it started the book.
struct TPedidoEntregue {
  int64_t IdFilial = 0;
  int32_t IdEmpresa = 0;
  TDateTime Inicio = 0, Fim = 0;
  bool Contabilizar = false, CIAP = false, SemMovimento = false, FrenteVerso = false, Definitiva = false;
  bool Rodape = false, Sufixo = false, DescricaoCfop = false, UmPeriodo = false;
  int32_t Livro = 0, Pagina = 0;
  impressao::TLinha Formato = impressao::TLinha::Oito;
  std::vector<std::string> Impostos;  // codes marked in the data set handed over
  bool AcaoHabilitada = true;
};

// The form with the module's print replaced by a record of the request.
class TFormEnsaio : public TForm58140 {
 public:
  using TForm58140::TForm58140;
  std::optional<TPedidoEntregue> Entregue;

 protected:
  bool ImprimirModulo() override {
    TdmLivroICMS& m = Modulo();
    TPedidoEntregue p;
    p.IdFilial = m.FIdFilial;
    p.IdEmpresa = m.FIdEmpresa;
    p.Inicio = m.FDataInicio;
    p.Fim = m.FDataFim;
    p.Contabilizar = m.FContabilizar;
    p.CIAP = m.FCalcularCIAP;
    p.SemMovimento = m.FImprimirSemMovimento;
    p.FrenteVerso = m.FFrenteVerso;
    p.Definitiva = m.FImpressaoDefinitiva;
    p.Rodape = m.FImprimirRodape;
    p.Sufixo = m.FDetalharSufixoCfop;
    p.DescricaoCfop = m.FImprimirDescricaoCfop;
    p.UmPeriodo = m.FSolicitarDadosAcessorios;
    p.Livro = m.FLivro;
    p.Pagina = m.FPagina;
    p.Formato = m.GetFormatoImpressao();
    TQDClientDataSet& ds = *m.FDataSetImpostos;
    for (ds.First(); !ds.Eof(); ds.Next())
      if (ds.FieldByName("MARCADO").AsInteger() == 1) p.Impostos.push_back(ds.FieldByName("CODIGO").AsString());
    p.AcaoHabilitada = ActImprimirEnabled;
    Entregue = p;
    return true;
  }
};

std::vector<std::string> Marcados(TFrameSelecionarImpostos& f) {
  std::vector<std::string> r;
  TQDClientDataSet& ds = f.GetDataSet();
  for (ds.First(); !ds.Eof(); ds.Next())
    if (ds.FieldByName("MARCADO").AsInteger() == 1) r.push_back(ds.FieldByName("CODIGO").AsString());
  return r;
}

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
  TFormEnsaio& Criar() {
    form_->FormCreate();
    return *form_;
  }

  const std::vector<std::string>& Mensagens() { return interacao_->Registro(); }

  std::unique_ptr<TdmLivroICMS> modulo_;
  std::unique_ptr<TFormEnsaio> form_;
};

// ---------------------------------------------------------------------------------------------
// Creation

TEST_F(Formulario, CriacaoPropoeOMesAnteriorEOsControlesDaTela) {
  TFormEnsaio& f = Criar();
  EXPECT_EQ(f.lkpEmpresa.Id, 1);
  EXPECT_EQ(f.lkpEmpresa.Descricao, "Comercial Exemplo Ltda");
  EXPECT_EQ(f.lkpFilial.Id, 1);
  EXPECT_EQ(f.lkpFilial.Codigo, "1");
  EXPECT_EQ(f.lkpFilial.Filtro, "IDEMPRESA = 1");
  EXPECT_EQ(f.edtDataInicio.Text, "01/01/2026");
  EXPECT_EQ(f.edtDataFim.Text, "31/01/2026");
  EXPECT_EQ(f.Periodicidade(), periodicidade::Mensal);

  EXPECT_EQ(f.rbImpostos, TEscolhaImpostos::Todos);
  EXPECT_FALSE(f.btnSelecionarImpostosEnabled);
  EXPECT_TRUE(f.chkSemMovimento.Checked);
  EXPECT_FALSE(f.chkContabilizar.Checked);
  EXPECT_FALSE(f.chkImpressaoDefinitiva.Checked);
  EXPECT_FALSE(f.edtNumLivro.Enabled);
  EXPECT_FALSE(f.edtNumPagina.Enabled);
  EXPECT_TRUE(f.edtNumLivro.Text.empty());
  EXPECT_TRUE(f.rbOitavos);
  EXPECT_FALSE(f.rbSextos);
  EXPECT_GT(f.GetDataSetImpostos().RecordCount(), 1);  // the frame exists: 2001 and the ST codes
  EXPECT_TRUE(Mensagens().empty());
}

// The month before today's (December of the year before in January), to the end of its period.
TEST_F(Formulario, DataFinalPropostaSegueAPeriodicidadeDoEstabelecimento) {
  form_->Relogio = [] { return EncodeDate(2026, 1, 31); };
  EXPECT_EQ(Criar().edtDataInicio.Text, "01/12/2025");
  EXPECT_EQ(form_->edtDataFim.Text, "31/12/2025");
  form_->Relogio = [] { return EncodeDate(2026, 2, 10); };
  Sql("UPDATE HS_PERIODICIDADE SET PERIODICIDADE = 9 WHERE IDFILIAL = 1");  // quarterly
  TFormEnsaio& f = Criar();
  EXPECT_EQ(f.edtDataInicio.Text, "01/01/2026");
  EXPECT_EQ(f.edtDataFim.Text, "31/03/2026");

  Sql("UPDATE HS_PERIODICIDADE SET PERIODICIDADE = 5 WHERE IDFILIAL = 1");  // fortnightly
  Criar();
  EXPECT_EQ(f.edtDataFim.Text, "15/01/2026");
}

// Double-sided only when the host's setting is 2; the footer's date and time always (1), at the
// user's choice (3) or never (anything else).
TEST_F(Formulario, FrenteEVersoERodapeConformeOHost) {
  for (auto [valor, marcado] : {std::pair{"2", true}, {"1", false}, {"0", false}, {"3", false}}) {
    Sql(std::string("UPDATE HS_CONFIG SET VALOR = '") + valor + "' WHERE CHAVE = 'FRENTE_VERSO'");
    EXPECT_EQ(Criar().chkImpressaoFrenteVerso.Checked, marcado) << "FRENTE_VERSO = " << valor;
  }
  struct Caso { const char* valor; bool marcado, habilitado; };
  for (Caso c : {Caso{"1", true, false}, Caso{"3", false, true}, Caso{"2", false, false}, Caso{"0", false, false}}) {
    Sql(std::string("UPDATE HS_CONFIG SET VALOR = '") + c.valor + "' WHERE CHAVE = 'RODAPE'");
    form_->chkRodape.Checked = true;  // whatever was there before
    form_->chkRodape.Enabled = true;
    TFormEnsaio& f = Criar();
    EXPECT_EQ(f.chkRodape.Checked, c.marcado) << "RODAPE = " << c.valor;
    EXPECT_EQ(f.chkRodape.Enabled, c.habilitado) << "RODAPE = " << c.valor;
  }
}

// ---------------------------------------------------------------------------------------------
// Dates

TEST_F(Formulario, DataVaziaOuInvalidaEhRecusadaComAMensagemDoFormulario) {
  TFormEnsaio& f = Criar();
  for (const char* ruim : {"", "32/01/2026", "31/02/2026", "2026-13-01", "ontem"}) {
    f.edtDataInicio.Text = ruim;
    EXPECT_THROW(f.ValidarCampos(TControle::Nenhum), ECampoInvalido) << "'" << ruim << "'";
  }
  f.edtDataInicio.Text = "01/01/2026";
  f.edtDataFim.Text = "";
  EXPECT_THROW(f.ValidarCampos(TControle::Nenhum), ECampoInvalido);
  ASSERT_EQ(Mensagens().size(), 6u);
  for (const auto& m : Mensagens()) EXPECT_EQ(m, "[aviso] Data inválida.");
}

TEST_F(Formulario, InicioDepoisDoFimEhRecusadoEDevolveOFocoAoInicio) {
  TFormEnsaio& f = Criar();
  f.edtDataInicio.Text = "01/02/2026";
  f.edtDataFim.Text = "31/01/2026";
  try {
    f.ValidarCampos(TControle::Nenhum);
    FAIL() << "aceitou início depois do fim";
  } catch (const ECampoInvalido& e) {
    EXPECT_STREQ(e.what(), "A data final deve ser maior que a data inicial.");
  }
  EXPECT_EQ(f.Foco, TControle::edtDataInicio);
  ASSERT_EQ(Mensagens().size(), 1u);
  EXPECT_EQ(Mensagens()[0], "[aviso] A data final deve ser maior que a data inicial.");

  f.edtDataFim.Text = "01/02/2026";  // equal dates pass
  EXPECT_NO_THROW(f.ValidarCampos(TControle::Nenhum));
}

TEST_F(Formulario, SairDeUmCampoSoVerificaEsseCampo) {
  TFormEnsaio& f = Criar();
  f.edtDataInicio.Text = "01/03/2026";
  f.edtDataFim.Text = "xx";
  EXPECT_NO_THROW(f.ValidarCampos(TControle::edtDataInicio));  // the end is not its business
  EXPECT_NO_THROW(f.edtDataInicioExit());
  f.edtDataFim.Text = "31/01/2026";
  EXPECT_NO_THROW(f.ValidarCampos(TControle::edtDataInicio));  // nor the order of the two
  EXPECT_THROW(f.ValidarCampos(TControle::edtDataFim), ECampoInvalido);
  EXPECT_TRUE(std::find(Mensagens().begin(), Mensagens().end(),
                        "[aviso] A data final deve ser maior que a data inicial.") != Mensagens().end());
  f.edtDataInicio.Text = "bad";
  EXPECT_THROW(f.edtDataInicioExit(), ECampoInvalido);
}

TEST_F(Formulario, EnterNaDataInicialRecalculaOFimETabNao) {
  // Quarterly from April on: the period is looked up again for the new start date.
  Sql("UPDATE HS_PERIODICIDADE SET DATAFIM = '2026-03-31' WHERE IDFILIAL = 1;"
      "INSERT INTO HS_PERIODICIDADE (IDFILIAL, DATAINICIO, DATAFIM, PERIODICIDADE) VALUES (1, '2026-04-01', NULL, 9)");
  TFormEnsaio& f = Criar();
  f.edtDataInicio.Text = "01/03/2026";
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
}

// ---------------------------------------------------------------------------------------------
// Lookups

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

// ---------------------------------------------------------------------------------------------
// Taxes

TEST_F(Formulario, RadiosDeImpostoMarcamNaSelecaoDoHost) {
  TFormEnsaio& f = Criar();
  auto& frame = f.FrameImpostos();
  const int total = frame.GetDataSet().RecordCount();

  f.rbTodosClick(TEscolhaImpostos::ICMS);
  EXPECT_EQ(Marcados(frame), std::vector<std::string>{"2001"});
  EXPECT_FALSE(f.btnSelecionarImpostosEnabled);

  f.rbTodosClick(TEscolhaImpostos::ICMSST);
  auto st = Marcados(frame);
  EXPECT_EQ(static_cast<int>(st.size()), total - 1);
  EXPECT_EQ(std::count(st.begin(), st.end(), "2001"), 0);

  f.rbTodosClick(TEscolhaImpostos::Todos);
  EXPECT_EQ(static_cast<int>(Marcados(frame).size()), total);
}

TEST_F(Formulario, SelecionarDesmarcaTudoEAbreODialogoNaHora) {
  TFormEnsaio& f = Criar();
  f.rbTodosClick(TEscolhaImpostos::Todos);
  int aberturas = 0;
  f.OnSelecionarImpostos = [&](TFrameSelecionarImpostos& frame) {
    ++aberturas;
    EXPECT_TRUE(Marcados(frame).empty());
    EXPECT_FALSE(frame.GetDataSet().GetFiltered());
    frame.MarcarCodigos({"4019"});
  };
  f.rbTodosClick(TEscolhaImpostos::Custom);
  EXPECT_EQ(aberturas, 1);
  EXPECT_TRUE(f.btnSelecionarImpostosEnabled);
  EXPECT_EQ(f.rbImpostos, TEscolhaImpostos::Custom);

  ASSERT_TRUE(f.Imprimir());
  EXPECT_EQ(f.Entregue->Impostos, std::vector<std::string>{"4019"});
}

TEST_F(Formulario, SelecaoVaziaImprimeTodosOsImpostos) {
  TFormEnsaio& f = Criar();
  const int total = f.FrameImpostos().GetDataSet().RecordCount();
  f.rbTodosClick(TEscolhaImpostos::Custom);  // dialog closed without marking anything
  EXPECT_TRUE(Marcados(f.FrameImpostos()).empty());
  f.GetDataSetImpostos().SetFilter("CODIGO = '2001'");  // a filter left on the data set does not hide marks
  f.GetDataSetImpostos().SetFiltered(true);
  ASSERT_TRUE(f.Imprimir());
  EXPECT_EQ(static_cast<int>(f.Entregue->Impostos.size()), total);
}

// ---------------------------------------------------------------------------------------------
// Definitive book

TEST_F(Formulario, ImpressaoDefinitivaPropoeANumeracaoDoHostETravaOsCfops) {
  // The host's numbering: book 3 ended at page 57 before January.
  Sql("INSERT INTO HS_NUMERACAOLIVRO (IDFILIAL, IDCONFIGURACAO, MODULO, LIVRO, PAGINAINICIAL, PAGINAFINAL, DATA, GRAVADOEM)"
      " VALUES (1, 3, '07', 3, 40, 57, '2025-12-01', '01/12/2025 10:00:00')");
  TFormEnsaio& f = Criar();
  f.chkDetalharSufixoCfop.Checked = true;
  f.chkNaoImprimirDescricaoCFOP.Checked = true;

  f.chkImpressaoDefinitiva.Checked = true;
  f.chkImpressaoDefinitivaClick();
  EXPECT_TRUE(f.edtNumLivro.Enabled);
  EXPECT_TRUE(f.edtNumPagina.Enabled);
  EXPECT_EQ(f.edtNumLivro.Text, "3");
  EXPECT_EQ(f.edtNumPagina.Text, "58");  // the page after the last one printed
  EXPECT_EQ(modulo_->FIdConfiguracaoLivro, 3);  // ES02_CFG row of kind 5 of the demo
  for (const TCaixa* c : {&f.chkDetalharSufixoCfop, &f.chkNaoImprimirDescricaoCFOP}) {
    EXPECT_FALSE(c->Checked) << c->Caption;
    EXPECT_FALSE(c->Enabled) << c->Caption;
  }

  // The user may correct the proposal; the print takes the two fields.
  f.edtNumLivro.Text = "4";
  f.edtNumPagina.Text = "10";
  ASSERT_TRUE(f.Imprimir());
  EXPECT_TRUE(f.Entregue->Definitiva);
  EXPECT_EQ(f.Entregue->Livro, 4);
  EXPECT_EQ(f.Entregue->Pagina, 10);
  EXPECT_FALSE(f.Entregue->Sufixo);
  EXPECT_TRUE(f.Entregue->DescricaoCfop);

  f.chkImpressaoDefinitiva.Checked = false;
  f.chkImpressaoDefinitivaKeyDown(TTecla::Enter);
  EXPECT_FALSE(f.edtNumLivro.Enabled);
  EXPECT_FALSE(f.edtNumPagina.Enabled);
  for (const TCaixa* c : {&f.chkDetalharSufixoCfop, &f.chkNaoImprimirDescricaoCFOP}) {
    EXPECT_TRUE(c->Enabled) << c->Caption;
    EXPECT_FALSE(c->Checked) << c->Caption;  // unlocked, still unchecked
  }
}

TEST_F(Formulario, LivroEPaginaDefinitivosVaoDe1A99999) {
  // The page header prints both numbers with five digits.
  TFormEnsaio& f = Criar();
  f.chkImpressaoDefinitiva.Checked = true;
  f.chkImpressaoDefinitivaClick();
  struct Caso { const char* livro; const char* pagina; const char* mensagem; };
  for (Caso c : {Caso{"1", "2147483647", "Número da página inválido: \"2147483647\". Informe um número de 1 a 99999."},
                 Caso{"1", "100000", "Número da página inválido: \"100000\". Informe um número de 1 a 99999."},
                 Caso{"1", "0", "Número da página inválido: \"0\". Informe um número de 1 a 99999."},
                 Caso{"1", "-3", "Número da página inválido: \"-3\". Informe um número de 1 a 99999."},
                 Caso{"1", "", "Número da página inválido: \"\". Informe um número de 1 a 99999."},
                 Caso{"99999999999", "2", "Número do livro inválido: \"99999999999\". Informe um número de 1 a 99999."}}) {
    f.edtNumLivro.Text = c.livro;
    f.edtNumPagina.Text = c.pagina;
    EXPECT_THROW(f.ActImprimirExecute(), ECampoInvalido) << c.pagina;
    EXPECT_FALSE(f.Entregue.has_value());
    ASSERT_FALSE(Mensagens().empty());
    EXPECT_EQ(Mensagens().back(), std::string("[aviso] ") + c.mensagem);
  }
  f.edtNumLivro.Text = "99999";
  f.edtNumPagina.Text = "99999";
  ASSERT_TRUE(f.Imprimir());
  EXPECT_EQ(f.Entregue->Livro, 99999);
  EXPECT_EQ(f.Entregue->Pagina, 99999);
  // leaving the page field checks that field only
  f.edtNumLivro.Text = "0";
  EXPECT_NO_THROW(f.ValidarCampos(TControle::edtNumPagina));
  EXPECT_THROW(f.ValidarCampos(TControle::edtNumLivro), ECampoInvalido);
}



// ---------------------------------------------------------------------------------------------
// The request handed to the printing module

TEST_F(Formulario, PedidoLevaOsCamposDaTela) {
  TFormEnsaio& f = Criar();
  f.chkContabilizar.Checked = true;
  f.chkSemMovimento.Checked = false;
  f.chkNaoImprimirDescricaoCFOP.Checked = true;
  f.chkDetalharSufixoCfop.Checked = true;
  f.chkImpressaoFrenteVerso.Checked = true;
  f.rbOitavos = false;
  f.rbSextos = true;
  ASSERT_TRUE(f.Imprimir());
  const TPedidoEntregue& p = *f.Entregue;
  EXPECT_EQ(p.IdFilial, 1);
  EXPECT_EQ(p.IdEmpresa, 1);
  EXPECT_EQ(p.Inicio, EncodeDate(2026, 1, 1));
  EXPECT_EQ(p.Fim, EncodeDate(2026, 1, 31));
  EXPECT_TRUE(p.Contabilizar);
  EXPECT_FALSE(p.CIAP);
  EXPECT_FALSE(p.SemMovimento);
  EXPECT_FALSE(p.DescricaoCfop);
  EXPECT_TRUE(p.Sufixo);
  EXPECT_TRUE(p.FrenteVerso);
  EXPECT_EQ(p.Formato, impressao::TLinha::Seis);
  EXPECT_EQ(f.Foco, TControle::lkpEmpresa);
}

TEST_F(Formulario, DadosAcessoriosSoQuandoOIntervaloEhUmPeriodoExato) {
  TFormEnsaio& f = Criar();
  struct Caso { const char* ini; const char* fim; bool umPeriodo; };
  for (Caso c : {Caso{"01/01/2026", "31/01/2026", true}, Caso{"01/01/2026", "28/02/2026", false},
                 Caso{"01/01/2026", "15/01/2026", false}, Caso{"01/02/2026", "28/02/2026", true}}) {
    f.edtDataInicio.Text = c.ini;
    f.edtDataFim.Text = c.fim;
    ASSERT_TRUE(f.Imprimir());
    EXPECT_EQ(f.Entregue->UmPeriodo, c.umPeriodo) << c.ini << " a " << c.fim;
  }
}

TEST_F(Formulario, SemFormatoDeImpressaoNadaEhImpresso) {
  TFormEnsaio& f = Criar();
  f.rbOitavos = false;
  f.rbSextos = false;
  EXPECT_FALSE(f.Imprimir());
  EXPECT_FALSE(f.Entregue.has_value());
  EXPECT_EQ(f.Foco, TControle::lkpEmpresa);
  ASSERT_FALSE(Mensagens().empty());
  EXPECT_EQ(Mensagens().back(), "[aviso] Selecione um formato de impressão.");
}

TEST_F(Formulario, DatasInvalidasParamAntesDoModulo) {
  TFormEnsaio& f = Criar();
  f.edtDataFim.Text = "01/12/2025";
  EXPECT_THROW(f.ActImprimirExecute(), ECampoInvalido);
  EXPECT_FALSE(f.Entregue.has_value());
  EXPECT_TRUE(f.ActImprimirEnabled);  // the action comes back after a failure
}

TEST_F(Formulario, AcaoDeImprimirFicaDesabilitadaDuranteAImpressao) {
  TFormEnsaio& f = Criar();
  EXPECT_TRUE(f.rbOitavosKeyDown(TTecla::Enter));
  ASSERT_TRUE(f.Entregue.has_value());
  EXPECT_FALSE(f.Entregue->AcaoHabilitada);
  EXPECT_TRUE(f.ActImprimirEnabled);

  f.Entregue.reset();
  EXPECT_FALSE(f.rbOitavosKeyDown(TTecla::Tab));
  EXPECT_FALSE(f.Entregue.has_value());
}

// ---------------------------------------------------------------------------------------------
// With the real printing module

TEST_F(Formulario, LivroNaoDefinitivoComecaNaFolha2DoLivro1) {
  TdmLivroICMS modulo;
  TForm58140 f(modulo);
  f.Relogio = [] { return EncodeDate(2026, 2, 10); };
  f.FormCreate();
  f.edtNumLivro.Text = "5";
  f.edtNumPagina.Text = "40";
  ASSERT_TRUE(f.Imprimir());
  ASSERT_FALSE(modulo.Prn().Paginas().empty());
  std::string pagina;
  for (const auto& l : modulo.Prn().Paginas().front().Linhas()) pagina += l + "\n";
  EXPECT_NE(pagina.find("FOLHA.............: 00002  LIVRO....: 00001"), std::string::npos) << pagina;
}


// ---------------------------------------------------------------------------------------------
// Observations

TEST_F(Formulario, ObservacoesAbremNoEstabelecimentoEIntervaloDoPedido) {
  TFormEnsaio& f = Criar();
  int exibido = 0;
  f.OnExibirObservacoes = [&](TForm58140Observacoes& obs) {
    ++exibido;
    EXPECT_EQ(obs.FIdFilialObs, 1);
    EXPECT_EQ(obs.FDataInicialLivro, EncodeDate(2026, 1, 1));
    EXPECT_EQ(obs.FDataFinalLivro, EncodeDate(2026, 1, 31));
    EXPECT_EQ(obs.lblTitulo, "Comercial Exemplo Ltda - 01/01/2026 a 31/01/2026");
    EXPECT_EQ(obs.lkpImposto.Codigo, "2001");
    EXPECT_NE(obs.lkpImposto.Id, 0);
    EXPECT_EQ(obs.edtData.Text, "01/01/2026");
    EXPECT_EQ(obs.RecordCount(), 1);  // the demo's observation of 31/01/2026
  };
  f.ActObservacoesExecute();
  EXPECT_EQ(exibido, 1);
}

}  // namespace
