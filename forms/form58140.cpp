#include "forms/form58140.h"

#include <cstdlib>

#include "forms/observacoes.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "host/servicos/selecaoimpostos.h"
#include "relatorio/livroicms.h"

// ---------------------------------------------------------------------------------------------
// Field checks

namespace validacao {

bool DeveValidarCampo(TControle sender, TControle campo) { return sender == TControle::Nenhum || sender == campo; }

void Abortar(const std::string& mensagem, int tipo) {
  QDInterface->ExibirMensagem(mensagem, tipo);
  throw ECampoInvalido(mensagem);
}

TDateTime ValidaCampoData(TControle sender, TControle campo, const std::string& texto, const std::string& mensagem,
                          int obrigatorio) {
  std::string t = texto::Aparar(texto);
  TDateTime d = 0;
  if (t.empty() && obrigatorio != 1) return 0;
  if (TentarLerData(t, d)) return d;
  if (DeveValidarCampo(sender, campo)) Abortar(mensagem, 0);
  return 0;
}

}  // namespace validacao

int32_t TEdicaoInteiro::Valor() const {
  std::string t = texto::Aparar(Text);
  char* fim = nullptr;
  long v = std::strtol(t.c_str(), &fim, 10);
  return t.empty() || *fim != '\0' ? 0 : static_cast<int32_t>(v);
}

TDateTime TEdicaoData::Data() const {
  TDateTime d = 0;
  return TentarLerData(texto::Aparar(Text), d) ? d : 0;
}

// ---------------------------------------------------------------------------------------------
// Lookups

namespace {

constexpr const char* kNaoEncontrado = "Registro não encontrado.";

// Company lookup: one row per company, taken from its head-office establishment.
constexpr const char* kSqlEmpresa =
    "SELECT SC00_EMPRESA.IDEMPRESA, SC00_EMPRESA.EMPRESA, SC00_EMPRESA.NOME, SC00_EMPRESA.NOMEFANTASIA,"
    "       CA06_MUNICIPIO.NOME AS MUNICIPIO, CA06_MUNICIPIO.UF, SC00_EMPRESA.CNPJ,"
    "       SC00_FILIAL.IESTADUAL, SC00_FILIAL.IMUNICIPAL, SC00_FILIAL.TELEFONE1, SC00_FILIAL.TELEFONE2,"
    "       SC00_FILIAL.FAX"
    "  FROM SC00_EMPRESA"
    " INNER JOIN SC00_FILIAL ON (SC00_FILIAL.IDEMPRESA = SC00_EMPRESA.IDEMPRESA)"
    " INNER JOIN CA06_MUNICIPIO ON (SC00_FILIAL.IDMUNICIPIO = CA06_MUNICIPIO.IDMUNICIPIO)"
    " WHERE SC00_EMPRESA.IDEMPRESA > 0"
    "   AND SC00_FILIAL.EHMATRIZ = 1";

constexpr const char* kSqlFilial =
    "SELECT SC00_FILIAL.IDFILIAL, SC00_FILIAL.FILIAL, SC00_FILIAL.NOMEFANTASIA,"
    "       CA06_MUNICIPIO.NOME AS MUNICIPIO, CA06_MUNICIPIO.UF, SC00_FILIAL.CNPJ, SC00_FILIAL.IESTADUAL,"
    "       SC00_FILIAL.IMUNICIPAL, SC00_FILIAL.TELEFONE1, SC00_FILIAL.TELEFONE2, SC00_FILIAL.FAX,"
    "       SC00_FILIAL.NOME"
    "  FROM SC00_FILIAL"
    " INNER JOIN CA06_MUNICIPIO ON (SC00_FILIAL.IDMUNICIPIO = CA06_MUNICIPIO.IDMUNICIPIO)";

}  // namespace

TForm58140::TForm58140(TdmLivroICMS& modulo) : modulo_(modulo) {}
TForm58140::~TForm58140() = default;

namespace {
// The lookup shows no record; its filter stays.
void Limpar(TLookup& lookup) {
  lookup.Id = 0;
  lookup.Codigo.clear();
  lookup.Descricao.clear();
}

// Fills a lookup from the first row of a query of its records (id, code and name columns); clears
// it when there is none.
bool CarregarLookup(TLookup& lookup, const std::string& sql, const char* colunaId, const char* colunaCodigo) {
  TQDSQLQuery q(FormPrincipal->Conexao());
  q.SetSQL(sql);
  q.Open();
  if (q.Eof()) {
    Limpar(lookup);
    return false;
  }
  lookup.Id = q.FieldByName(colunaId).AsLargeInt();
  lookup.Codigo = q.FieldByName(colunaCodigo).AsString();
  lookup.Descricao = q.FieldByName("NOME").AsString();
  return true;
}

// Codes are whole numbers: anything else typed finds nothing (and never reaches the SQL text).
bool CodigoNumerico(const std::string& codigo) {
  return !codigo.empty() && codigo.size() <= 9 && codigo.find_first_not_of("0123456789") == std::string::npos;
}

std::string SqlFilial(const std::string& condicao, const std::string& filtro) {
  std::string sql = std::string(kSqlFilial) + " WHERE " + condicao;
  if (!filtro.empty()) sql += " AND (" + filtro + ")";
  return sql;
}

// The columns both search grids show, after the record's code.
std::vector<TColunaGrade> ColunasCadastro(TColunaGrade codigo, const char* tituloFax) {
  return {codigo, {"Nome", "NOME", 0}, {"Nome Fantasia", "NOMEFANTASIA", 0}, {"Município", "MUNICIPIO", 0},
          {"UF", "UF", 30}, {"CNPJ", "CNPJ", 0}, {"Inscr. Estadual", "IESTADUAL", 0},
          {"Inscr. Municipal", "IMUNICIPAL", 0}, {"Telefone", "TELEFONE1", 0}, {"Telefone", "TELEFONE2", 0},
          {tituloFax, "FAX", 0}};
}
}  // namespace

bool TForm58140::CarregarEmpresa(int64_t id) {
  if (id <= 0) {
    Limpar(lkpEmpresa);
    return false;
  }
  return CarregarLookup(lkpEmpresa, std::string(kSqlEmpresa) + " AND SC00_EMPRESA.IDEMPRESA = " + std::to_string(id),
                        "IDEMPRESA", "EMPRESA");
}

bool TForm58140::CarregarFilial(int64_t id) {
  if (id <= 0) {
    Limpar(lkpFilial);
    return false;
  }
  return CarregarLookup(lkpFilial, SqlFilial("SC00_FILIAL.IDFILIAL = " + std::to_string(id), lkpFilial.Filtro),
                        "IDFILIAL", "FILIAL");
}

bool TForm58140::BuscarEmpresa(int64_t idEmpresa) {
  if (CarregarEmpresa(idEmpresa)) return true;
  QDInterface->ExibirMensagem(kNaoEncontrado, 0);
  return false;
}

bool TForm58140::BuscarFilial(int64_t idFilial) {
  lkpFilialAntesDeBuscar();
  if (CarregarFilial(idFilial)) return true;
  QDInterface->ExibirMensagem(kNaoEncontrado, 0);
  return false;
}

bool TForm58140::BuscarEmpresaPorCodigo(const std::string& codigo) {
  const std::string c = texto::Aparar(codigo);
  if (CodigoNumerico(c) &&
      CarregarLookup(lkpEmpresa, std::string(kSqlEmpresa) + " AND SC00_EMPRESA.EMPRESA = " + c, "IDEMPRESA", "EMPRESA"))
    return true;
  Limpar(lkpEmpresa);
  QDInterface->ExibirMensagem(kNaoEncontrado, 0);
  return false;
}

bool TForm58140::BuscarFilialPorCodigo(const std::string& codigo) {
  lkpFilialAntesDeBuscar();
  const std::string c = texto::Aparar(codigo);
  if (CodigoNumerico(c) &&
      CarregarLookup(lkpFilial, SqlFilial("SC00_FILIAL.FILIAL = " + c, lkpFilial.Filtro), "IDFILIAL", "FILIAL"))
    return true;
  Limpar(lkpFilial);
  QDInterface->ExibirMensagem(kNaoEncontrado, 0);
  return false;
}

TPesquisa TForm58140::PesquisaEmpresa() const {
  return {"Pesquisa de Empresas", std::string(kSqlEmpresa) + " ORDER BY SC00_EMPRESA.EMPRESA", "IDEMPRESA", "EMPRESA",
          ColunasCadastro({"Empresa", "EMPRESA", 60}, "Fax")};
}

TPesquisa TForm58140::PesquisaFilial() {
  lkpFilialAntesDeBuscar();
  return {"Pesquisa de Estabelecimentos", SqlFilial(lkpFilial.Filtro, "") + " ORDER BY SC00_FILIAL.FILIAL", "IDFILIAL",
          "FILIAL", ColunasCadastro({"Filial", "FILIAL", 60}, "FAX")};
}

void TForm58140::lkpFilialAntesDeBuscar() { lkpFilial.Filtro = "IDEMPRESA = " + std::to_string(lkpEmpresa.Id); }

void TForm58140::lkpEmpresaExit() {
  if (lkpFilial.Filtro != "IDEMPRESA = " + std::to_string(lkpEmpresa.Id)) Limpar(lkpFilial);
}

// ---------------------------------------------------------------------------------------------
// Creation, dates

void TForm58140::BuscarPeriodicidade() {
  FPeriodicidade = GFuncoes->GetPeriodicidadeICMS(lkpFilial.Id, edtDataInicio.Data());
}

void TForm58140::FormCreate() {
  CarregarEmpresa(FormPrincipal->IdEmpresaAtual);
  // Setting the lookup's id searches it, which restricts it to the company first.
  lkpFilialAntesDeBuscar();
  CarregarFilial(FormPrincipal->IdFilialAtual);

  chkImpressaoFrenteVerso.Checked = QDInterface->GetConfigFrenteVerso() == 2;

  chkRodape.Enabled = false;
  chkRodape.Checked = false;
  switch (QDInterface->GetConfigRodape()) {
    case 1: chkRodape.Checked = true; break;  // always printed: checked and locked
    case 3: chkRodape.Enabled = true; break;  // the user's choice
    default: break;                           // never printed
  }

  FrameImpostos();

  edtDataInicio.SetData(IncMes(InicioDoMes(Relogio()), -1));
  BuscarPeriodicidade();
  edtDataFim.SetData(GFuncoes->IncPeriodo(edtDataInicio.Data(), FPeriodicidade));
}

namespace {
// The page header prints book and page with five digits: a number outside 1..99999 would print
// cut or as a negative number.
void ValidarNumeracao(TControle sender, TControle campo, const TEdicaoInteiro& edicao, const std::string& nome,
                      TControle& foco) {
  if (!validacao::DeveValidarCampo(sender, campo)) return;
  const std::string t = texto::Aparar(edicao.Text);
  bool valido = !t.empty() && t.size() <= 5 && t.find_first_not_of("0123456789") == std::string::npos &&
                std::stoi(t) >= 1;
  if (valido) return;
  foco = campo;
  validacao::Abortar(nome + " inválido: \"" + edicao.Text + "\". Informe um número de 1 a 99999.", 0);
}
}  // namespace

void TForm58140::ValidarCampos(TControle sender) {
  using namespace validacao;
  TDateTime inicio = ValidaCampoData(sender, TControle::edtDataInicio, edtDataInicio.Text, "Data inválida.", 1);
  TDateTime fim = ValidaCampoData(sender, TControle::edtDataFim, edtDataFim.Text, "Data inválida.", 1);
  if (DeveValidarCampo(sender, TControle::edtDataFim) && inicio > fim) {
    Foco = TControle::edtDataInicio;
    Abortar("A data final deve ser maior que a data inicial.", 0);
  }
  if (chkImpressaoDefinitiva.Checked) {
    ValidarNumeracao(sender, TControle::edtNumLivro, edtNumLivro, "Número do livro", Foco);
    ValidarNumeracao(sender, TControle::edtNumPagina, edtNumPagina, "Número da página", Foco);
  }
}

void TForm58140::edtDataInicioExit() {
  ValidarCampos(TControle::edtDataInicio);
  if (FPeriodicidade == 0) BuscarPeriodicidade();
}

void TForm58140::edtDataInicioKeyDown(TTecla tecla) {
  if (!TeclaConfirma(tecla)) return;
  TDateTime inicio = validacao::ValidaCampoData(TControle::edtDataInicio, TControle::edtDataInicio,
                                                edtDataInicio.Text, "Data inválida.", 1);
  edtDataInicio.SetData(inicio);
  BuscarPeriodicidade();
  edtDataFim.SetData(GFuncoes->IncPeriodo(inicio, FPeriodicidade));
}

// ---------------------------------------------------------------------------------------------
// Taxes

TFrameSelecionarImpostos& TForm58140::FrameImpostos() {
  // The host's frame offers the tax kinds ICMS and ICMS-ST over the system connection.
  if (!FFrameImpostos) FFrameImpostos = std::make_unique<TFrameSelecionarImpostos>(FormPrincipal->Conexao());
  return *FFrameImpostos;
}

TQDClientDataSet& TForm58140::GetDataSetImpostos() { return FrameImpostos().GetDataSet(); }

void TForm58140::rbTodosClick(TEscolhaImpostos radio) {
  rbImpostos = radio;
  btnSelecionarImpostosEnabled = radio == TEscolhaImpostos::Custom;
  switch (radio) {
    case TEscolhaImpostos::Custom:
      FrameImpostos().MarcarTodos(false);
      btnSelecionarImpostosClick();
      break;
    case TEscolhaImpostos::Todos: FrameImpostos().MarcarTodos(true); break;
    case TEscolhaImpostos::ICMS: FrameImpostos().MarcarPorImposto(TTipoImposto::ICMS); break;
    case TEscolhaImpostos::ICMSST: FrameImpostos().MarcarPorImposto(TTipoImposto::ICMSST); break;
  }
}

void TForm58140::btnSelecionarImpostosClick() {
  TQDClientDataSet& ds = GetDataSetImpostos();
  ds.First();
  ds.SetFiltered(false);
  ds.SetFilter("");
  if (OnSelecionarImpostos) OnSelecionarImpostos(FrameImpostos());
}

// ---------------------------------------------------------------------------------------------
// Book numbering

void TForm58140::chkImpressaoDefinitivaClick() {
  edtNumLivro.Enabled = chkImpressaoDefinitiva.Checked;
  edtNumPagina.Enabled = edtNumLivro.Enabled;
  if (chkImpressaoDefinitiva.Checked) {
    modulo_.FIdConfiguracaoLivro = QDInterface->ObterIdConfiguracaoLivro(lkpFilial.Id, 5, edtDataInicio.Data(),
                                                                        edtDataFim.Data(), "ES02_CFG");
    int32_t livro = 0, pagina = 0;
    QDInterface->ObterNumeracaoLivro(lkpFilial.Id, modulo_.FIdConfiguracaoLivro, edtDataInicio.Data(), "07", livro,
                                     pagina);
    edtNumLivro.SetValor(livro);
    edtNumPagina.SetValor(pagina);
    FLivroProposto = livro;
    FPaginaProposta = pagina;
    // A definitive book prints its CFOPs without suffix detail and with their descriptions.
    chkDetalharSufixoCfop.Checked = false;
    chkDetalharSufixoCfop.Enabled = false;
    chkNaoImprimirDescricaoCFOP.Checked = false;
    chkNaoImprimirDescricaoCFOP.Enabled = false;
  } else {
    chkDetalharSufixoCfop.Enabled = true;
    chkNaoImprimirDescricaoCFOP.Enabled = true;
  }
}

void TForm58140::chkImpressaoDefinitivaKeyDown(TTecla tecla) {
  if (TeclaConfirma(tecla)) chkImpressaoDefinitivaClick();
}

// ---------------------------------------------------------------------------------------------
// Printing

bool TForm58140::rbOitavosKeyDown(TTecla tecla) {
  if (!TeclaConfirma(tecla)) return false;
  ActImprimirExecute();
  return true;
}

bool TForm58140::ActImprimirExecute() {
  struct TReabilitar {
    bool& acao;
    ~TReabilitar() { acao = true; }
  } reabilitar{ActImprimirEnabled};
  ActImprimirEnabled = false;
  return Imprimir();
}

bool TForm58140::ImprimirModulo() { return modulo_.Imprimir(); }

bool TForm58140::Imprimir() {
  // An empty selection means all taxes.
  TQDClientDataSet& impostos = GetDataSetImpostos();
  impostos.SetFiltered(false);
  impostos.SetFilter("");
  if (FrameImpostos().QuantidadeMarcada() == 0) FrameImpostos().MarcarTodos(true);

  ValidarCampos(TControle::Nenhum);

  struct TFocoEmpresa {
    TControle& foco;
    ~TFocoEmpresa() { foco = TControle::lkpEmpresa; }
  } focoEmpresa{Foco};

  modulo_.FIdFilial = lkpFilial.Id;
  modulo_.FIdEmpresa = static_cast<int32_t>(lkpEmpresa.Id);
  modulo_.FDataInicio = edtDataInicio.Data();
  modulo_.FDataFim = edtDataFim.Data();
  modulo_.FContabilizar = chkContabilizar.Checked;
  modulo_.FCalcularCIAP = chkCalcularCIAP.Checked;
  modulo_.FImprimirSemMovimento = chkSemMovimento.Checked;
  modulo_.FFrenteVerso = chkImpressaoFrenteVerso.Checked;
  modulo_.FImpressaoDefinitiva = chkImpressaoDefinitiva.Checked;
  modulo_.FImprimirRodape = chkRodape.Checked;
  modulo_.FDataSetImpostos = &impostos;
  modulo_.FDetalharSufixoCfop = chkDetalharSufixoCfop.Checked;
  modulo_.FImprimirDescricaoCfop = !chkNaoImprimirDescricaoCFOP.Checked;
  if (chkImpressaoDefinitiva.Checked) {
    modulo_.FLivro = edtNumLivro.Valor();
    modulo_.FPagina = edtNumPagina.Valor();
    modulo_.FNumeracaoAutomatica = modulo_.FLivro == FLivroProposto && modulo_.FPagina == FPaginaProposta;
  } else {
    modulo_.FNumeracaoAutomatica = false;
    // A book that is not definitive starts at page 2 of book 1 (page 1 is the opening term).
    modulo_.FLivro = 1;
    modulo_.FPagina = 2;
  }
  if (rbOitavos) {
    modulo_.SetFormatoImpressao(impressao::TLinha::Oito);
  } else if (rbSextos) {
    modulo_.SetFormatoImpressao(impressao::TLinha::Seis);
  } else {
    QDInterface->ExibirMensagem("Selecione um formato de impressão.", 0);
    return false;
  }
  modulo_.FSolicitarDadosAcessorios =
      FPeriodicidade != 0 && modulo_.FDataFim == GFuncoes->IncPeriodo(modulo_.FDataInicio, FPeriodicidade);
  return ImprimirModulo();
}

// ---------------------------------------------------------------------------------------------
// Observations

void TForm58140::CadatrarObservacoes() {
  TForm58140Observacoes obs;
  obs.FIdFilialObs = lkpFilial.Id;
  obs.FNomeFilial = lkpFilial.Descricao;
  obs.FDataInicialLivro = edtDataInicio.Data();
  obs.FDataFinalLivro = edtDataFim.Data();
  obs.BuscarImposto("2001");
  obs.edtData.SetData(edtDataInicio.Data());
  obs.FormShow();
  if (OnExibirObservacoes) OnExibirObservacoes(obs);
}
