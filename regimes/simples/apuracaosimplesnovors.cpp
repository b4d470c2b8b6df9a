// The calculation of the RS small-business summary: the return's auxiliary data and their
// dialog, the revenue and deductions of the month, the bracket, the tax in UPF and in reais, the
// ICMS-ST due by a nested run, the postponement of a small tax and its recording.
#include "regimes/simples/apuracaosimplesnovors.h"

#include <array>

#include "apuracao/apuracao.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "regimes/fabricaresumos.h"
#include "regimes/simples/sqlsimples.h"

namespace {

// The value columns a formula of ES02_CFOPCFGUF may name, as the revenue queries select them.
constexpr std::array<const char*, 11> kColunasFormula = {"VLRCONTABIL", "BCICMS",   "ICMS",     "ISENTASICMS",
                                                         "NTICMS",      "OUTRASICMS", "BCICMSST", "ICMSST",
                                                         "IPI",         "VLRREDUCAOBCICMS", "DIFERIDO"};

// The regime exists from July 2006 (law 12.410/2005); earlier months are settled by another package.
const TDateTime kInicioDoRegime = EncodeDate(2006, 7, 1);

Currency NaoNegativo(Currency v) { return v < Currency() ? Currency() : v; }

}  // namespace

TResumoSimplesNovoRS::TResumoSimplesNovoRS() {
  for (TResumoCampos* campos : {FDebito.get(), FCredito.get(), FSaldo.get()})
    campos->GetRegistros().TotalImposto = [this] { return GetTotalImposto(); };
  FCodImposto = "2001";
  FTpImposto = 1;
}

TTipoResumo TResumoSimplesNovoRS::GetTipoResumo() const { return trSimplesNovoRS; }

void TResumoSimplesNovoRS::AcrescentarLeituras(integridade::TLeituras& leituras) const {
  // The year's revenue of the company's RS establishments and, through their ICMS-ST settled
  // inside this one, their ICMS-ST documents and entries.
  AcrescentarLeiturasDesde(leituras, EncodeDate(DecodeDate(FDataInicio).ano, 1, 1), true, "RS");
  leituras.EmpresasLancamentos.emplace(FFilial.IdEmpresa, "RS");
}

Currency TResumoSimplesNovoRS::GetUPF() {
  if (FUPF == Currency()) {
    try {
      FUPF = GFuncoes->GetUPF(FFilial.UF, FDataFim);
    } catch (const EUPFNaoCadastrada&) {
      FUPF = Currency();  // CalcularSimples tells the user, and refuses the tax that needs it
    }
  }
  return FUPF;
}

// --- Totals ------------------------------------------------------------------------------------

Currency TResumoSimplesNovoRS::GetTotalReceitaBrutaMesPropria() const {
  return FReceitaBrutaMesPropria + FReceitaServicosPropria + FOutrasRecMes;
}

Currency TResumoSimplesNovoRS::GetTotalReceitaBrutaMesCentraliz() const {
  return FReceitaBrutaMesCentraliz + FReceitaServicosCentraliz + FRecBrutaOutros + FRecBrutaRS;
}

Currency TResumoSimplesNovoRS::GetTotalDeducaoPropria() const {
  return FDeducoesPropria + FSaldoDevedorSTPropria + FReceitaServicosPropria;
}

Currency TResumoSimplesNovoRS::GetTotalDeducaoCentraliz() const {
  return FDeducoesCentraliz + FSaldoDevedorSTCentraliz + FReceitaServicosCentraliz + FDedRecBruta;
}

Currency TResumoSimplesNovoRS::GetTotalReceitaTribMesPropria() const {
  return GetTotalReceitaBrutaMesPropria() - GetTotalDeducaoPropria();
}

// Revenue of establishments in other states counts in the gross revenue (and in the year's, which
// decides the class), never in the taxable revenue.
Currency TResumoSimplesNovoRS::GetTotalReceitaTribMesCentraliz() const {
  return GetTotalReceitaBrutaMesCentraliz() - FRecBrutaOutros - GetTotalDeducaoCentraliz();
}

// --- Before the lines: the return and the establishment's role -----------------------------------

void TResumoSimplesNovoRS::CalcularApuracaoAntes() {
  if (FDataInicio < kInicioDoRegime) {
    const int r = QDInterface->ExibirMensagemPersonalizada("Para gerar este livro utilize o pacote 74105.\rDeseja abrí-lo agora?",
                                                           0, {TBotao::Ok, TBotao::Cancelar}, TBotao::Cancelar, "Aviso",
                                                           {"&Sim", "&Não"});
    if (r == mrOk) FormPrincipal->AbrirPacote("74105", 0, -1);
    throw EAbortarSilencioso();
  }
  const TDataPartes mes = DecodeDate(FDataInicio), anterior = DecodeDate(FDataInicio - 1);
  FIdGia = GFuncoes->GetIDGia(FFilial.IdFilial, mes.ano, mes.mes, 0, 0, 0);
  FIdGiaAnterior = GFuncoes->GetIDGia(FFilial.IdFilial, anterior.ano, anterior.mes, 0, 0, 0);
  BuscaDadosAuxiliares(FIdGia, FIdGiaAnterior);
  FFormaApuracao = GFuncoes->GetFormaApuracao(FFilial, FDataInicio, FDataFim);
  FEnquadramento = GFuncoes->GetEnquadramentoFilial(FFilial, FDataInicio, FDataFim);
}

TDadosAuxSimplesNovoRS TResumoSimplesNovoRS::GetDadosAux() const {
  TDadosAuxSimplesNovoRS d;
  d.NumEmpregados = FNumEmpregados;
  d.RecBrutaOutros = FRecBrutaOutros;
  d.RecBrutaAnterior = FRecBrutaAnterior;
  d.Despesas = FDespesas;
  d.RecBrutaRS = FRecBrutaRS;
  d.DespSalarios = FDespSalarios;
  d.OutrasRecJanJun = FOutrasRecJanJun;
  d.DedRecBruta = FDedRecBruta;
  d.OutrasRecMes = FOutrasRecMes;
  return d;
}

void TResumoSimplesNovoRS::SetDadosAux(const TDadosAuxSimplesNovoRS& d) {
  FNumEmpregados = d.NumEmpregados;
  FRecBrutaOutros = d.RecBrutaOutros;
  FRecBrutaAnterior = d.RecBrutaAnterior;
  FDespesas = d.Despesas;
  FRecBrutaRS = d.RecBrutaRS;
  FDespSalarios = d.DespSalarios;
  FOutrasRecJanJun = d.OutrasRecJanJun;
  FDedRecBruta = d.DedRecBruta;
  FOutrasRecMes = d.OutrasRecMes;
}

void TResumoSimplesNovoRS::BuscaDadosAuxiliares(int32_t idGia, int32_t idGiaAnterior) {
  SetDadosAux(TDadosAuxSimplesNovoRS());
  TQDClientDataSet ds;
  GUtilSistema->CreateProviderAtRunTime(ds);
  ds.SetCommandText(Format(kSqlGiaDetD0, {std::to_string(idGia)}));
  ds.Open();
  if (ds.RecordCount() == 0) {
    ds.Close();
    ds.SetCommandText(Format(kSqlGiaDetD0, {std::to_string(idGiaAnterior)}));
    ds.Open();
    if (ds.RecordCount() == 0) return;
  }
  auto Conteudo = [&ds](const char* codigo) {
    return ds.Locate("CODIGO", {std::string(codigo)}) ? ds.FieldByName("CONTEUDO").AsString() : std::string();
  };
  FRecBrutaAnterior = LerValorGia(Conteudo("01"));
  FRecBrutaRS = LerValorGia(Conteudo("RECBRS"));
  FRecBrutaOutros = LerValorGia(Conteudo("RECBOUTUF"));
  FDespesas = LerValorGia(Conteudo("08"));
  FDespSalarios = LerValorGia(Conteudo("10"));
  FNumEmpregados = LerInteiroGia(Conteudo("09"));
  FDedRecBruta = LerValorGia(Conteudo("DEDRECBRUT"));
  FOutrasRecMes = LerValorGia(Conteudo("OUTRECMES"));
  FOutrasRecJanJun = LerValorGia(Conteudo("OUTREC1A6"));
}

Currency TResumoSimplesNovoRS::BuscaDadosAuxiliares(int32_t idGia, const std::string& tpRegistro, const std::string& codigo) {
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(Format(kSqlGiaDetValor, {std::to_string(idGia), tpRegistro, codigo}));
  q.Open();
  return q.Eof() ? Currency() : LerValorGia(q.FieldByName("CONTEUDO").AsString());
}

// The company-wide figures are the centraliser's to state: a centralised establishment sees them
// disabled and at 0, and confirming writes its rows as 0. The other revenue of January to June
// is asked once, in July 2006, the regime's first month.
void TResumoSimplesNovoRS::ChamarFormDadosAcessorios() {
  if (!FSolicitarDadosAcessorios) return;
  TFormDadosAuxSimplesNovoRS form;
  const TDialogoAberto aberto(FFormDadosAux, form);
  const bool daEmpresa = Papel() != 2;
  for (TCampoEdicao* c : {&form.edtRecBrutaOutros, &form.edtRecBrutaAnterior, &form.edtRecBrutaRS, &form.edtDedRecBruta,
                          &form.edtOutrasRecMes})
    c->Enabled = daEmpresa;
  const TDataPartes inicio = DecodeDate(FDataInicio);
  form.edtOutrasRecJanJun.Enabled = daEmpresa && inicio.ano == 2006 && inicio.mes == 7;
  form.PreencheCampos(GetDadosAux());
  if (form.ShowModal() != mrOk) return;
  const TDadosAuxSimplesNovoRS d = form.Dados();
  const std::pair<const char*, std::string> linhas[] = {
      {"01", FormatarDecimal(d.RecBrutaAnterior)}, {"RECBRS", FormatarDecimal(d.RecBrutaRS)},
      {"RECBOUTUF", FormatarDecimal(d.RecBrutaOutros)}, {"08", FormatarDecimal(d.Despesas)},
      {"10", FormatarDecimal(d.DespSalarios)}, {"09", std::to_string(d.NumEmpregados)},
      {"DEDRECBRUT", FormatarDecimal(d.DedRecBruta)}, {"OUTRECMES", FormatarDecimal(d.OutrasRecMes)},
      {"OUTREC1A6", FormatarDecimal(d.OutrasRecJanJun)}};
  for (const auto& [codigo, conteudo] : linhas) GFuncoes->GravarGiaDet(FIdGia, "D0", codigo, "", conteudo);
  SetDadosAux(d);
}

// --- The lines: a centralised establishment's entries belong to its centraliser -----------------

void TResumoSimplesNovoRS::LoadDebitos() {
  if (Papel() != 2) TResumo::LoadDebitos();
  else LoadRegistrosSaida(FDebito->GetRegistros());
}

void TResumoSimplesNovoRS::LoadCreditos() {
  if (Papel() != 2) TResumo::LoadCreditos();
  else LoadRegistrosEntrada(FCredito->GetRegistros());
}

void TResumoSimplesNovoRS::LoadSaldos() {
  if (Papel() != 2) TResumo::LoadSaldos();
}

// The tax of the month is the only debit of line 1. Other debits with the return's code 21 are
// owed besides it, after the deductions: they move to the tax-due line 13.
void TResumoSimplesNovoRS::CalcularApuracaoDepois() {
  TResumoCampo* linha1 = LocalizarOuAdicionar(*FDebito, 1, "DÉBITOS SAÍDAS", 1);
  const Currency simples = CalcularSimples();
  TDetalhamento* d = linha1->GetDetalhamentos().Add();
  d->SetDescricao("SIMPLES CALCULADO CONFORME LEI 12.410 DE 22/12/2005");
  d->SetValor(simples);
  TResumoCampo* linha2 = FDebito->Locate(2);
  if (!linha2) return;
  for (int i = linha2->GetDetalhamentos().IndexOf("21"); i >= 0; i = linha2->GetDetalhamentos().IndexOf("21"))
    LocalizarOuAdicionar(*FSaldo, 13, "IMPOSTO A RECOLHER", 1)->GetDetalhamentos().Add(linha2->GetDetalhamentos().Extract(i));
}

// --- The tax of the month ---------------------------------------------------------------------

Currency TResumoSimplesNovoRS::CalcularSimples() {
  FReceitaBrutaMesCentraliz = FReceitaBrutaMesPropria = FReceitaServicosCentraliz = FReceitaServicosPropria = Currency();
  const Currency upf = GetUPF();
  if (!(upf > Currency())) QDInterface->ExibirMensagem("Não foi possível encontrar o valor da UPF para o período informado.", 2);

  // The year's revenue up to the period end: the documents of the company's RS establishments and,
  // month by month, what the returns add. Before July 2006 the returns carried one figure for the
  // revenue from outside the database (FATOUTEXTE).
  const TDataPartes inicio = DecodeDate(FDataInicio);
  const TDateTime inicioAno = EncodeDate(inicio.ano, 1, 1);
  FReceitaBrutaAcumulada =
      (SomaReceitaBrutaSimplesRS(inicioAno, FDataFim, 2) + TFracao(SomaReceitaServicos(inicioAno, FDataFim, 2))).ParaMoeda();
  const int64_t centralizador = GetIdFilialCentralizador();
  // A centralised establishment reads its centraliser's returns; without a centraliser configured
  // for the period, its own (whose company-wide rows it writes as 0).
  const int64_t filialGia = Papel() == 2 && centralizador > 0 ? centralizador : FFilial.IdFilial;
  const int anoFim = DecodeDate(FDataFim).ano;
  for (int m = 1; m <= inicio.mes; ++m) {
    const int32_t g = GFuncoes->GetIDGia(filialGia, inicio.ano, m, 0, 0, 0);
    auto Gia = [&](const char* codigo) { return BuscaDadosAuxiliares(g, "D0", codigo); };
    if (m < 7 && anoFim <= 2006) {
      FReceitaBrutaAcumulada += Gia("FATOUTEXTE") + Gia("OUTRECMES");
    } else {
      FReceitaBrutaAcumulada += Gia("RECBRS") + Gia("RECBOUTUF") + Gia("OUTRECMES");
      if (m == 7) FReceitaBrutaAcumulada += Gia("OUTREC1A6");
    }
  }

  // The month: this establishment and, for a centraliser, the company's other RS establishments.
  FReceitaBrutaMesPropria = SomaReceitaBrutaSimplesRS(FDataInicio, FDataFim, 1).ParaMoeda();
  FReceitaServicosPropria = SomaReceitaServicos(FDataInicio, FDataFim, 1);
  if (Papel() == 1) {
    FReceitaBrutaMesCentraliz = SomaReceitaBrutaSimplesRS(FDataInicio, FDataFim, 2).ParaMoeda() - FReceitaBrutaMesPropria;
    FReceitaServicosCentraliz = SomaReceitaServicos(FDataInicio, FDataFim, 2) - FReceitaServicosPropria;
  }
  FDeducoesPropria = SomaDeducoesReceitaSimplesRS(1);
  if (Papel() == 1) FDeducoesCentraliz = NaoNegativo(SomaDeducoesReceitaSimplesRS(2) - FDeducoesPropria);
  FSaldoDevedorSTPropria = GetSaldoDevedorST(1);
  FSaldoDevedorSTCentraliz = NaoNegativo(GetSaldoDevedorST(2) - FSaldoDevedorSTPropria);
  if (Papel() == 2) {
    FAliquota = Currency();
    return Currency();
  }

  FAliquota = GetAliquotaSimples().ParaMoeda();
  // Without the UPF the revenue cannot be counted in UPF: no tax is made up.
  if (!(upf > Currency()))
    throw EUPFNaoCadastrada("O imposto de " + DataBR(FDataInicio) + " a " + DataBR(FDataFim) +
                            " do estabelecimento " + std::to_string(FFilial.IdFilial) +
                            " não pode ser calculado sem o valor da UPF de " + FFilial.UF + " em " + DataBR(FDataFim) +
                            " (HS_UPF).");
  const TCalculoUPF c = CalcularEmUPF(GetTotalReceitaTribMesCentraliz() + GetTotalReceitaTribMesPropria(), FAliquota, FDeducao, upf);
  FDeducao = c.DeducaoUPF;
  return c.Imposto;
}

TResumoSimplesNovoRS::TCalculoUPF TResumoSimplesNovoRS::CalcularEmUPF(Currency receitaTributavel, Currency aliquota,
                                                                      Currency deducao, Currency upf) {
  const TFracao unidade(upf);
  TCalculoUPF c;
  const TFracao n = QDInterface->ArredondarModo(TFracao(receitaTributavel) / unidade, "TRUNCAR", 0);
  c.Unidades = static_cast<int64_t>(n.Numerador());
  c.DeducaoUPF = QDInterface->ArredondarModo(TFracao(deducao) / unidade, "MATEMATICO", 2).ParaMoeda();
  const TFracao taxa = QDInterface->ArredondarModo(TFracao(aliquota) / TFracao(100), "PAR", 5);
  c.ImpostoUPF = (taxa * n - TFracao(c.DeducaoUPF)).ParaMoeda();
  c.Imposto = QDInterface->Arredondar(0, 2, TFracao(c.ImpostoUPF) * unidade, 3).ParaMoeda();
  return c;
}

std::string TResumoSimplesNovoRS::FiltroSoma(TTipoSomaReceita tipo) const {
  switch (tipo) {
    case 0: return "IDEMPRESA = " + std::to_string(FFilial.IdEmpresa);
    case 1: return "IDFILIAL = " + std::to_string(FFilial.IdFilial);
    case 2: return "IDEMPRESA = " + std::to_string(FFilial.IdEmpresa) + " AND CA06_MUNICIPIO.UF = 'RS'";
    default: break;
  }
  throw std::invalid_argument("Escopo de soma de receita inválido: " + std::to_string(tipo) +
                              " (0 empresa, 1 estabelecimento, 2 estabelecimentos da empresa no RS).");
}

TFracao TResumoSimplesNovoRS::AvaliarFormula(TEvMacroFormula& formulas, const TQDSQLQuery& q, int32_t numero) {
  const std::string formula = q.FieldByName("FORMULA").AsString();
  if (texto::Aparar(formula).empty()) return TFracao();
  formulas.ClearVariables();
  for (const char* coluna : kColunasFormula) formulas.AddVariable(coluna, q.FieldByName(coluna).AsCurrency());
  try {
    return formulas.Valor(formula);
  } catch (const EFormula& e) {
    // The sums read the formula without its CFOP: name the first CFOP that has it.
    TQDSQLQuery cfop(GUtilSistema->GetConnectionSistema());
    cfop.SetSQL("SELECT MIN(ES02_CFOP.CFOP) AS CFOP FROM ES02_CFOPCFGUF JOIN ES02_CFOP ON (ES02_CFOP.IDCFOP ="
                " ES02_CFOPCFGUF.IDCFOP) WHERE ES02_CFOPCFGUF.UF = 'RS' AND ES02_CFOPCFGUF.TP = " + std::to_string(numero) +
                " AND ES02_CFOPCFGUF.FORMULA = " + texto::QuotedStr(formula));
    cfop.Open();
    throw EFormulaCFOP(e, numero, cfop.Eof() ? std::string("?") : cfop.FieldByName("CFOP").AsString(), "RS");
  }
}

// Exits add their formula's value, entries subtract it (an entry with a revenue formula is a return).
// The sum is exact; the caller takes it as money.
TFracao TResumoSimplesNovoRS::SomaReceitaBrutaSimplesRS(TDateTime inicio, TDateTime fim, TTipoSomaReceita tipo) {
  const std::vector<std::string> args = {FiltroSoma(tipo), TFormPrincipal::DataSQL(inicio), TFormPrincipal::DataSQL(fim)};
  TEvMacroFormula formulas;
  TFracao total;
  for (const auto& [sql, entrada] : {std::pair{kSqlReceitaBrutaSaidas, false}, std::pair{kSqlReceitaBrutaEntradas, true}}) {
    TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
    q.SetSQL(Format(sql, args));
    q.Open();
    for (; !q.Eof(); q.Next()) {
      const TFracao valor = AvaliarFormula(formulas, q, 5);
      total = entrada ? total - valor : total + valor;
    }
  }
  return total < TFracao() ? TFracao() : total;
}

// As the gross revenue, over the period, with each item's value rounded to money as it is summed.
Currency TResumoSimplesNovoRS::SomaDeducoesReceitaSimplesRS(TTipoSomaReceita tipo) {
  const std::vector<std::string> args = {FiltroSoma(tipo), TFormPrincipal::DataSQL(FDataInicio),
                                         TFormPrincipal::DataSQL(FDataFim)};
  TEvMacroFormula formulas;
  Currency total;
  for (const auto& [sql, entrada] : {std::pair{kSqlDeducoesSaidas, false}, std::pair{kSqlDeducoesEntradas, true}}) {
    TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
    q.SetSQL(Format(sql, args));
    q.Open();
    for (; !q.Eof(); q.Next()) {
      const Currency valor = AvaliarFormula(formulas, q, 6).ParaMoeda();
      total = entrada ? total - valor : total + valor;
    }
  }
  return NaoNegativo(total);
}

Currency TResumoSimplesNovoRS::SomaReceitaServicos(TDateTime inicio, TDateTime fim, TTipoSomaReceita tipo) {
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(Format(kSqlReceitaServicos, {FiltroSoma(tipo) + " ", TFormPrincipal::DataSQL(inicio), TFormPrincipal::DataSQL(fim)}));
  q.Open();
  return q.Eof() ? Currency() : q.FieldByName("VLRCONTABIL").AsCurrency();
}

// The ICMS-ST due of the period, settled by RS ICMS-ST summaries of a run of its own: they record
// what they always record (tax, carried balance, accounting values), and the run this summary
// belongs to keeps its list as it was.
Currency TResumoSimplesNovoRS::GetSaldoDevedorST(TTipoSomaReceita tipo) {
  TApuracao apuracao(CriarResumo);
  apuracao.SetDetalharCfopPorSufixo(FDetalharCfopPorSufixo);
  TResumos& resumos = apuracao.GetResumos();
  auto Adicionar = [&](const TFilial& filial) {
    TResumo* st = resumos.Add(filial, FDataInicio, FDataFim, trSubstTribRS);
    if (auto* inscricao = dynamic_cast<TResumoInscricaoST*>(st)) inscricao->SetUF(filial.UF);
    st->SetCodImposto(GFuncoes->GetCodigoICMSST(filial.UF));
  };
  if (tipo == 1) {
    Adicionar(FFilial);
  } else {
    TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
    q.SetSQL(tipo == 2 ? Format(kSqlFiliaisDaEmpresaNaUF, {std::to_string(FFilial.IdEmpresa), texto::QuotedStr(FFilial.UF)})
                       : Format(kSqlFiliaisDaEmpresa, {std::to_string(FFilial.IdEmpresa)}));
    q.Open();
    for (; !q.Eof(); q.Next()) {
      apuracao.SetFilial(q.FieldByName("IDFILIAL").AsLargeInt());
      Adicionar(apuracao.GetFilial());
    }
  }
  apuracao.CalcularResumos();
  Currency soma;
  for (int i = 0; i < resumos.Count(); ++i) soma += resumos.GetItem(i)->GetImpostoARecolher();
  return soma;
}

int64_t TResumoSimplesNovoRS::GetIdFilialCentralizador() {
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(Format(kSqlFilialCentralizadora, {std::to_string(FFilial.IdEmpresa), TFormPrincipal::DataSQL(FDataInicio),
                                             TFormPrincipal::DataSQL(FDataFim)}));
  q.Open();
  return q.Eof() ? 0 : q.FieldByName("IDFILIAL").AsLargeInt();
}

TFracao TResumoSimplesNovoRS::GetAliquotaSimples() {
  const Currency base = NaoNegativo(GetTotalReceitaTribMesPropria() + GetTotalReceitaTribMesCentraliz());
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(Format(kSqlFaixaAliquota, {TFormPrincipal::DataSQL(FDataInicio), TFormPrincipal::DataSQL(FDataFim),
                                      FormatarDecimal(base)}));
  q.Open();
  FDeducao = q.Eof() ? Currency() : q.FieldByName("DEDUCAO").AsCurrency();
  return q.Eof() ? TFracao() : q.FieldByName("ALIQUOTA").AsFracao();
}

// The class the year's revenue calls for: over the class's limit, prorated to the months since the
// company's RS activity began this year, the revenue projected to a whole year picks the band.
TTipoEnquadramento TResumoSimplesNovoRS::GetNovoEnquadramento() {
  TTipoEnquadramento novo = FEnquadramento;
  TDateTime inicioAtividade = FDataInicio;
  {
    TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
    q.SetSQL(Format(kSqlInicioAtividade, {std::to_string(FFilial.IdEmpresa)}));
    q.Open();
    if (!q.Eof())
      inicioAtividade = q.FieldByName("INICIOATIVIDADE").AsDateTime();
    else
      QDInterface->ExibirMensagem("Não foi encontrada data de início de atividade da empresa.\r\rO cálculo do "
                                  "desenquadramento estará incorreto caso a empresa tenha iniciado as atividades "
                                  "durante o corrente ano.\r\rConfigure no pacote 7732 a data de início de atividade "
                                  "de pelo menos um estabelecimento do RS.",
                                  2);
  }
  const int meses = 12 - (inicioAtividade < EncodeDate(DecodeDate(FDataInicio).ano, 1, 1) ? 0 : DecodeDate(inicioAtividade).mes - 1);
  const std::string codigo = FEnquadramento == 0 ? "01" : FEnquadramento == 1 ? "02" : "";
  TQDClientDataSet ds;
  GUtilSistema->CreateProviderAtRunTime(ds);
  ds.SetCommandText(Format(kSqlEnquadramentos, {TFormPrincipal::DataSQL(FDataInicio)}));
  ds.Open();
  ds.SetFilter("IMPOSTOESPECIFICO = " + texto::QuotedStr(codigo));
  ds.SetFiltered(true);
  // The limit prorated to the months of activity and the projected revenue are fractions (a
  // twelfth of the limit, the revenue over 7 months): compared exactly, never as doubles.
  const TFracao limite = QDInterface->Arredondar(
      0, 5, (ds.Eof() ? TFracao() : ds.FieldByName("VALOR2").AsFracao()) / TFracao(12) * TFracao(meses), 0);
  const TFracao acumulada = QDInterface->Arredondar(0, 5, TFracao(FReceitaBrutaAcumulada), 0);
  if (acumulada > limite) {
    const TFracao projetada = TFracao(FReceitaBrutaAcumulada) / TFracao(meses) * TFracao(12);
    ds.SetFiltered(false);
    novo = 2;
    for (ds.First(); !ds.Eof(); ds.Next()) {
      if (!(ds.FieldByName("VALOR1").AsFracao() < projetada && ds.FieldByName("VALOR2").AsFracao() >= projetada)) continue;
      const std::string classe = ds.FieldByName("IMPOSTOESPECIFICO").AsString();
      novo = classe == "02" ? 1 : classe == "01" ? 0 : FEnquadramento;
      break;
    }
  }
  return novo;
}

// --- The tax due and its recording -------------------------------------------------------------

// The deductions of line 12 can only bring the tax down to 0, one at a time; what line 13 holds
// (other amounts to pay, the debits moved there) is owed whatever they were.
Currency TResumoSimplesNovoRS::GetImpostoARecolher() {
  Currency v = GetSaldoDevedor();
  if (!(v > Currency())) {
    v = Currency();
  } else if (const TResumoCampo* linha12 = FSaldo->Locate(12)) {
    const TDetalhamentos& deducoes = linha12->GetDetalhamentos();
    for (int i = 0; i < deducoes.Count() && v > Currency(); ++i) v -= deducoes.GetItem(i)->GetValor();
    if (v < Currency()) v = Currency();
  }
  if (const TResumoCampo* linha13 = FSaldo->Locate(13)) {
    const TDetalhamentos& outros = linha13->GetDetalhamentos();
    for (int i = 0; i < outros.Count(); ++i) v += outros.GetItem(i)->GetValor();
  }
  return v < Currency() ? Currency() : v;
}

// Line 12 beyond the debit balance: the deductions stop there, before line 13 is added.
Currency TResumoSimplesNovoRS::GetDeducoesNaoAproveitadas() {
  const TResumoCampo* linha12 = FSaldo->Locate(12);
  if (!linha12) return Currency();
  Currency saldo = GetSaldoDevedor(), deducoes;
  if (saldo < Currency()) saldo = Currency();
  const TDetalhamentos& d = linha12->GetDetalhamentos();
  for (int i = 0; i < d.Count(); ++i) deducoes += d.GetItem(i)->GetValor();
  return deducoes > saldo ? deducoes - saldo : Currency();
}

// A tax below 5 UPF is not paid in the period: it comes back in the next one as an "other debit"
// under the return's code 20, and the period's tax record is 0. Both are written every time, at 0
// when they do not apply, so that a re-run replaces them.
void TResumoSimplesNovoRS::GravarSaldoDevedor() {
  const Currency imposto = GetImpostoARecolher();
  const bool postergado = Pequeno(imposto, GetUPF());
  const int64_t id = GFuncoes->GetIDLctoApurCod(FFilial.UF, "20", FTpImposto, 15, 2);
  GFuncoes->GravarLctoApur(FFilial.IdFilial, 15, FTpImposto, FCodImposto, id, postergado ? imposto : Currency(),
                           FDataFim + 1, FDataFim + 1, "IMPOSTO POSTERGADO DE PERÍODO ANTERIOR", 99, 0);
  const TCodigoRecolhimento c = GetCodigoRecolhimento();
  GFuncoes->GravarImposto(FFilial.IdEmpresa, FFilial.IdFilial, FCodImposto, c.Codigo, FDataInicio, FDataFim, c.Vencimento,
                          postergado ? Currency() : imposto, {}, {});
}
