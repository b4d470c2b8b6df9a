#include "regimes/normal/apuracaonormalrs.h"

#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "regimes/normal/dadosauxnormalrs.h"
#include "regimes/sqlregimes.h"

TPostergarImposto GPostergarImposto = piPerguntar;

namespace {

std::string DoisDigitos(int n) { return FormatarZeros(n, 2); }

}  // namespace

TTipoResumo TResumoNormalRS::GetTipoResumo() const { return trNormalRS; }

std::string TResumoNormalRS::DiaDoFim() const { return std::to_string(DecodeDate(FDataFim).dia); }

std::string TResumoNormalRS::DiasDoPeriodo() const {
  return DoisDigitos(DecodeDate(FDataInicio).dia) + DoisDigitos(DecodeDate(FDataFim).dia);
}

Currency TResumoNormalRS::GetUPF() {
  if (FUPF == Currency()) FUPF = GFuncoes->GetUPF(FFilial.UF, FDataFim);
  return FUPF;
}

// --- Auxiliary data of the return ---------------------------------------------------------------

void TResumoNormalRS::CalcularApuracaoAntes() {
  const TDataPartes p = DecodeDate(FDataInicio);
  FIdGia = GFuncoes->GetIDGia(FFilial.IdFilial, p.ano, p.mes, 0, 0, 0);
  BuscaDadosAuxiliares(FIdGia);
}

void TResumoNormalRS::BuscaDadosAuxiliares(int32_t idGia) {
  FFaturamento = Currency();
  FEmpregados = 0;
  FValorFolha = Currency();
  FConsumo = 0;
  TQDClientDataSet ds;
  GUtilSistema->CreateProviderAtRunTime(ds);
  ds.SetCommandText(Format(kSqlGiaDetABC, {std::to_string(idGia)}));
  ds.Open();
  const Currency calculado = GFuncoes->CalcularValorFormulaCFOP(FFilial, 20, FDataInicio, FDataFim).ParaMoeda() +
                             GFuncoes->GetSomaReceitaServicos(FFilial, FDataInicio, FDataFim);
  if (ds.RecordCount() == 0) {
    FFaturamento = calculado;
    return;
  }
  const std::string dia = DiaDoFim();
  if (ds.Locate("CODIGO;NOMECAMPO", {std::string("31"), dia})) FFaturamento = LerValorGia(ds.FieldByName("CONTEUDO").AsString());
  if (!(FFaturamento > Currency()) || GUtilSistema->ArredondaCurr(FFaturamento) == GUtilSistema->ArredondaCurr(calculado)) {
    FFaturamento = calculado;
  } else {
    const int r = QDInterface->ExibirMensagemPersonalizada(
        "O valor calculado para o faturamento é diferente do valor informado em geração anterior.\r\rPerído: " +
            DataBR(FDataInicio) + " a " + DataBR(FDataFim) + "\r" + "Valor Calculado: R$ " + GFuncoes->FormatarFloat(calculado) +
            "\r" + "Valor Anterior  : R$ " + GFuncoes->FormatarFloat(FFaturamento) + "\r" + "\r" + "Qual valor deve ser mantido?",
        3, {TBotao::Ok, TBotao::Cancelar}, TBotao::Ok, "Divergência de valores", {"&Calculado", "&Anterior"});
    if (r == mrOk) FFaturamento = calculado;
  }
  if (ds.Locate("CODIGO", {std::string("32")})) FEmpregados = LerInteiroGia(ds.FieldByName("CONTEUDO").AsString());
  if (ds.Locate("CODIGO;NOMECAMPO", {std::string("33"), dia})) FValorFolha = LerValorGia(ds.FieldByName("CONTEUDO").AsString());
  if (ds.Locate("CODIGO;NOMECAMPO", {std::string("34"), dia})) FConsumo = LerInteiroGia(ds.FieldByName("CONTEUDO").AsString());
}

void TResumoNormalRS::ChamarFormDadosAcessorios() {
  if (!FSolicitarDadosAcessorios) return;
  TFormDadosAuxNormalRS form;
  const TDialogoAberto aberto(FFormDadosAux, form);
  form.PreencheCampos(FFaturamento, FEmpregados, FValorFolha, FConsumo);
  if (form.ShowModal() != mrOk) return;
  const std::string dia = DiaDoFim();
  GFuncoes->GravarGiaDet(FIdGia, "ABC", "31", dia, FormatarDecimal(form.edtFaturamento.Valor));
  GFuncoes->GravarGiaDet(FIdGia, "ABC", "32", "", std::to_string(form.edtEmpregados.Inteiro));
  GFuncoes->GravarGiaDet(FIdGia, "ABC", "33", dia, FormatarDecimal(form.edtValorFolha.Valor));
  GFuncoes->GravarGiaDet(FIdGia, "ABC", "34", dia, std::to_string(form.edtConsumo.Inteiro));
  FFaturamento = form.edtFaturamento.Valor;
  FValorFolha = form.edtValorFolha.Valor;
  FEmpregados = static_cast<int32_t>(form.edtEmpregados.Inteiro);
  FConsumo = static_cast<int32_t>(form.edtConsumo.Inteiro);
}

// --- After the lines are loaded ------------------------------------------------------------------

void TResumoNormalRS::CalcularApuracaoDepois() {
  TratarCreditosTransfNaoCompensados();
  const Currency imposto = GetImpostoARecolher();
  if (!(imposto > Currency())) return;
  Postergar(imposto);
  if (!FPostergar) GravarAnexoGia(imposto);
}

// Line 14 documents the credit carried to the next period; its sign 0 keeps it out of every sum.
void TResumoNormalRS::TratarCreditosTransfNaoCompensados() {
  TResumoCampo* linha14 = LocalizarOuAdicionar(*FSaldo, 14, "SALDO CREDOR A TRANSPORTAR", 0);
  auto Detalhe = [linha14](const std::string& codigo, const std::string& descricao, Currency valor) {
    AdicionarDetalhe(*linha14, codigo, descricao, valor);
  };
  const Currency saldo = TResumo::GetSaldoCredor();
  if (saldo > Currency()) Detalhe("28", "Saldo credor a transportar para período seguinte", saldo);
  if (const TResumoCampo* linha3 = FDebito->Locate(3)) {
    const TDetalhamentos& ds = linha3->GetDetalhamentos();
    for (int i = 0; i < ds.Count(); ++i)
      if (ds.GetItem(i)->GetCodigo() == "26")
        Detalhe("26", "Saldo a transportar para mês seguinte - Créd. não compensáveis", ds.GetItem(i)->GetValor());
  }
  // A sub-monthly period closing its month also carries the credits of the month's earlier periods.
  const TPeriodicidade p = GetPeriodicidade();
  if ((p == periodicidade::Decendial || p == periodicidade::Quinzenal) && FDataFim == FimDoMes(FDataFim)) {
    TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
    q.SetSQL(Format(kSqlCreditosNaoCompensaveis,
                    {std::to_string(FFilial.IdFilial), TFormPrincipal::DataSQL(InicioDoMes(FDataInicio)),
                     TFormPrincipal::DataSQL(FDataInicio - 1), texto::QuotedStr(FCodImposto)}));
    q.Open();
    if (!q.Eof()) {
      const Currency valor = q.FieldByName("VALOR").AsCurrency();
      if (valor > Currency())
        Detalhe("26", "Saldo a transportar para mês seguinte - Créd. não compensáveis de apuração anterior", valor);
    }
  }
}

void TResumoNormalRS::Postergar(Currency imposto) {
  if (imposto >= GetUPF() * 5) {
    FPostergar = false;
    return;
  }
  if (GPostergarImposto != piPerguntar) {
    FPostergar = GPostergarImposto == piSimTodos;
    return;
  }
  const int r = QDInterface->ExibirMensagemPersonalizada(
      "O valor do imposto a recolher é menor que 5 UPF.\r   -Perído: " + DataBR(FDataInicio) + " a " + DataBR(FDataFim) +
          "\r" + "   -Valor: " + FormatarValor(imposto) + "\r" + "\r" + "Deseja postergar o recolhimento para período seguinte?",
      3, {TBotao::Sim, TBotao::Nao, TBotao::Cancelar, TBotao::NaoParaTodos, TBotao::SimParaTodos}, TBotao::Nao,
      "Confirmação", {"&Sim", "&Não", "&Cancelar", "N&enhum", "&Todos"});
  switch (r) {
    case mrYes: FPostergar = true; break;
    case mrNo: FPostergar = false; break;
    case mrYesToAll: FPostergar = true; GPostergarImposto = piSimTodos; break;
    case mrNoToAll: FPostergar = false; GPostergarImposto = piNaoTodos; break;
    default: throw EAbortarSilencioso();
  }
}

// The tax goes to annex VIII or IX of the return only when it falls due in the period's own month.
void TResumoNormalRS::GravarAnexoGia(Currency imposto) {
  const TDateTime vencimento = GetVencimento(GetCodigoRecolhimento());
  Currency anexo8, anexo9;
  if (DecodeDate(vencimento).mes == DecodeDate(FDataInicio).mes) {
    const int r = QDInterface->ExibirMensagemPersonalizada(
        "Para qual anexo da GIA este imposto apurado\r\ndeve ser transportado?\r   -Perído: " + DataBR(FDataInicio) + " a " +
            DataBR(FDataFim) + "\r" + "   -Valor: " + FormatarValor(imposto) + "\r" + "\r",
        3, {TBotao::Ok, TBotao::Cancelar}, TBotao::Ok, "Escolha o Anexo da GIA", {"Anexo VIII", "Anexo IX"});
    (r == mrOk ? anexo8 : anexo9) = imposto;
  }
  const std::string dias = DiasDoPeriodo();
  for (auto [registro, codigo, valor] : {std::tuple{"X08", "20", anexo8}, std::tuple{"X09", "21", anexo9}}) {
    const bool tem = valor > Currency();
    GFuncoes->GravarGiaDet(FIdGia, registro, dias, std::vector<std::string>{"VCTO", "ICMSPROPRIO"},
                           std::vector<std::string>{tem ? DataBR(vencimento) : "", tem ? FormatarDecimal(valor) : ""});
    GFuncoes->GravarGiaDet(FIdGia, "ABC", codigo, dias, FormatarDecimal(valor));
  }
}

// --- Balances and recording ----------------------------------------------------------------------

Currency TResumoNormalRS::GetSaldoCredor() {
  TResumoCampo* linha14 = FSaldo->Locate(14);
  if (!linha14) return Currency();
  linha14->SetSinal(1);
  const Currency total = linha14->GetTotal();
  linha14->SetSinal(0);
  return total;
}

void TResumoNormalRS::GravarSaldoCredor() {
  const int64_t id = GFuncoes->GetIDLctoApurCod(FFilial.UF, FTpImposto, 5, 1);
  if (id <= 0) {
    QDInterface->ExibirMensagem("Não foi possível encontrar um código de GIA para atualizar o saldo credor.", 0);
    return;
  }
  const Currency saldo = FDataFim == FimDoMes(FDataFim) ? GetSaldoCredor() : TResumo::GetSaldoCredor();
  GFuncoes->GravarLctoApur(FFilial.IdFilial, 5, FTpImposto, FCodImposto, id, saldo, FDataFim + 1, FDataFim + 1,
                           "SALDO CREDOR DE PERÍODO ANTERIOR", 0, 0);
}

// The postponed tax comes back in the next period as another debit; the period's own tax record
// is then 0.
void TResumoNormalRS::GravarSaldoDevedor() {
  const Currency imposto = GetImpostoARecolher();
  const int64_t id = GFuncoes->GetIDLctoApurCod(FFilial.UF, "18", FTpImposto, 15, 1);
  GFuncoes->GravarLctoApur(FFilial.IdFilial, 15, FTpImposto, FCodImposto, id, FPostergar ? imposto : Currency(),
                           FDataFim + 1, FDataFim + 1, "IMPOSTO POSTERGADO DE PERÍODO ANTERIOR", 99, 0);
  const TCodigoRecolhimento c = GetCodigoRecolhimento();
  GFuncoes->GravarImposto(FFilial.IdEmpresa, FFilial.IdFilial, FCodImposto, c.Codigo, FDataInicio, FDataFim, c.Vencimento,
                          FPostergar ? Currency() : imposto, {"TPAPLICACAO"}, {c.Codigo1});
}

void TResumoNormalRS::GravarValoresParaContabilizacao() {
  GravarValoresContabeis(DescricoesContabeisICMS(), "000", TResumo::GetSaldoCredor());
}

void TResumoNormalRS::ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) {
  if (FPostergar) ImprimirValorPostergado(linha, imprimir, GetImpostoARecolher());
  ImprimirGuiasDoEstabelecimento(kSqlGuiasAplicacao, linha, imprimir);
}
