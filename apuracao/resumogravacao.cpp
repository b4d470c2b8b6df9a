// What a summary writes back: the payment code with its due date, the credit balance carried into
// the next period and the accounting values of the settlement.
#include "apuracao/resumo.h"
#include "host/base/formatacao.h"
#include "host/host.h"

std::optional<TCodigoRecolhimentoConfigurado> TResumo::LerCodigoRecolhimentoConfigurado() {
  const std::string tp = FTpImposto == 3 ? "7" : FTpImposto == 1 ? "2" : "";
  const std::string ini = TFormPrincipal::DataSQL(FDataInicio), fim = TFormPrincipal::DataSQL(FDataFim);
  TQDClientDataSet ds;
  GUtilSistema->CreateProviderAtRunTime(ds);
  ds.SetCommandText(
      "SELECT ES02_CODIGOREC.*  FROM ES02_CODIGOREC  JOIN (SELECT INFORMACAO1          FROM ES02_CFG         WHERE ES02_CFG.IDFILIAL = " +
      std::to_string(FFilial.IdFilial) + "           AND ES02_CFG.ORIGEM   = 2" + "           AND ES02_CFG.TP       = " + tp +
      "           AND (((" + ini + "              BETWEEN DATAINICIO AND DATAFIM)" + "           AND   (" + fim +
      "              BETWEEN DATAINICIO AND DATAFIM))" + "            OR  ((" + ini +
      "              >= DATAINICIO AND DATAFIM IS NULL)" + "           AND   (" + fim +
      "              >= DATAINICIO AND DATAFIM IS NULL)))" +
      "        ) CFG ON (CAST(ES02_CODIGOREC.IDCODIGOREC AS VARCHAR(30)) = CFG.INFORMACAO1)" +
      " WHERE ES02_CODIGOREC.IDCODIGOREC > 0");
  ds.Open();
  if (ds.Eof()) return std::nullopt;
  TCodigoRecolhimentoConfigurado c;
  c.Codigo = ds.FieldByName("CODIGO").AsString();
  for (size_t i = 0; i < c.SubCodigos.size(); ++i) c.SubCodigos[i] = ds.FieldByName("CODIGO" + std::to_string(i + 1)).AsString();
  c.IdCodigoRec = ds.FieldByName("IDCODIGOREC").AsInteger();
  c.TpDiaVencto = ds.FieldByName("TPDIAVENCTO").AsInteger();
  c.DiaVencto = ds.FieldByName("DIAVENCTO").AsString();
  return c;
}

TCodigoRecolhimento TResumo::GetCodigoRecolhimento() {
  if (FCodigoRecolhimento.Codigo.empty()) {
    const auto c = LerCodigoRecolhimentoConfigurado();
    if (!c) return TCodigoRecolhimento{};
    FCodigoRecolhimento.Codigo = c->Codigo;
    FCodigoRecolhimento.Codigo1 = c->SubCodigos[0];
    FCodigoRecolhimento.IdCodigoRec = c->IdCodigoRec;
    FCodigoRecolhimento.TpDiaVencto = c->TpDiaVencto;
    FCodigoRecolhimento.DiaVencto = c->DiaVenctoNumero();
  }
  if (FCodigoRecolhimento.Vencimento <= 0) FCodigoRecolhimento.Vencimento = GetVencimento(FCodigoRecolhimento);
  return FCodigoRecolhimento;
}

int32_t TCodigoRecolhimentoConfigurado::DiaVenctoNumero() const { return InteiroOuZero(DiaVencto); }

void TResumo::GravarImpostoARecolher() {
  const TCodigoRecolhimento c = GetCodigoRecolhimento();
  GFuncoes->GravarImposto(FFilial.IdEmpresa, FFilial.IdFilial, FCodImposto, c.Codigo, FDataInicio, FDataFim, c.Vencimento,
                          GetImpostoARecolher(), {}, {});
}

// The deductions (the details of the balance lines that lower the tax) are taken in list order
// until what there was to pay is used up; those left, wholly or in part, are named. The part not
// taken is not a credit and is not carried to the next period: the credit balance stays what the
// credits exceed the debits by.
void TResumo::AvisarDeducoesNaoAproveitadas() {
  const Currency sobra = GetDeducoesNaoAproveitadas();
  if (!(sobra > Currency())) return;
  std::vector<const TDetalhamento*> deducoes;
  Currency total;
  for (int i = 0; i < FSaldo->Count(); ++i) {
    const TResumoCampo* linha = FSaldo->GetItem(i);
    if (linha->GetSinal() >= 0) continue;
    for (int j = 0; j < linha->GetDetalhamentos().Count(); ++j) {
      deducoes.push_back(linha->GetDetalhamentos().GetItem(j));
      total += linha->GetDetalhamentos().GetItem(j)->GetValor();
    }
  }
  if (!(total > Currency())) return;  // a negative "other amount" of item 013, not a deduction
  Currency restante = total - sobra;  // what the deductions could take off
  std::string lista;
  for (const TDetalhamento* d : deducoes) {
    const Currency usado = d->GetValor() < restante ? d->GetValor() : restante;
    restante -= usado;
    if (d->GetValor() - usado <= Currency()) continue;
    lista += "\r- ";
    if (!d->GetCodigo().empty()) lista += d->GetCodigo() + " - ";
    if (d->GetData() > 0) lista += DataBR(d->GetData()) + " - ";
    lista += d->GetDescricao() + ": " + FormatarValor(d->GetValor() - usado) + " não aproveitados de " +
             FormatarValor(d->GetValor());
  }
  QDInterface->ExibirMensagem(
      "As deduções do imposto " + FCodImposto + " de " + DataBR(FDataInicio) + " a " + DataBR(FDataFim) +
          " do estabelecimento " + std::to_string(FFilial.IdFilial) + " (" + FormatarValor(total) +
          ") passam em " + FormatarValor(sobra) + " o imposto que havia a recolher (" + FormatarValor(total - sobra) +
          "). O imposto a recolher fica 0,00, sem guia, e o que sobra das deduções não passa para o período "
          "seguinte nem vira saldo credor. Deduções não aproveitadas:" + lista,
      0);
}

void TResumo::GravarSaldoCredor() {
  int64_t idCodigo = 0;
  if (TemCodigosGIA()) {
    idCodigo = GFuncoes->GetIDLctoApurCod(FFilial.UF, FTpImposto, 5, 1);
    if (idCodigo <= 0) {
      QDInterface->ExibirMensagem("Não foi possível encontrar um código de GIA para atualizar o saldo credor.", 0);
      return;
    }
  }
  GFuncoes->GravarLctoApur(FFilial.IdFilial, 5, FTpImposto, FCodImposto, idCodigo, GetSaldoCredor(), FDataFim + 1,
                           FDataFim + 1, "SALDO CREDOR DE PERÍODO ANTERIOR", 0, 0);
}

void TResumo::GravarValoresContabeis(const std::vector<std::string>& descricoes, const std::string& auxSaldoDevedor) {
  GravarValoresContabeis(descricoes, auxSaldoDevedor, GetSaldoCredor());
}

void TResumo::GravarValoresContabeis(const std::vector<std::string>& descricoes, const std::string& auxSaldoDevedor,
                                     Currency saldoCredor) {
  GravarValoresContabeis(descricoes, auxSaldoDevedor, FCredito->GetRegistros().GetTotalImposto(),
                         FDebito->GetRegistros().GetTotalImposto(), saldoCredor);
}

void TResumo::GravarValoresContabeis(const std::vector<std::string>& descricoes, const std::string& auxSaldoDevedor,
                                     Currency totalCreditos, Currency totalDebitos, Currency saldoCredor) {
  struct Valor { int32_t tipo; Currency valor; };
  // Amounts go through the virtual slots, so a regime's balances are what is stored.
  const Valor valores[] = {{54, totalCreditos},
                           {55, totalDebitos},
                           {52, GetImpostoARecolher()},
                           {56, saldoCredor},
                           {57, GetSaldoDevedor()}};
  for (size_t i = 0; i < 5; ++i) {
    int64_t id = GFuncoes->GravarLctoApur(FFilial.IdFilial, valores[i].tipo, FTpImposto, FCodImposto, 0, valores[i].valor,
                                          FDataInicio, FDataFim, descricoes.at(i), 99, 0);
    if (i == 2 && id > 0 && GUtilEscrita->GetPerfilEFD(FFilial.IdFilial, FDataInicio))
      GFuncoes->GravarLctoApurAux(id, 14, auxSaldoDevedor);
  }
}

const std::vector<std::string>& TResumo::DescricoesContabeisICMS() {
  static const std::vector<std::string> d = {"Total de Créditos de ICMS", "Total de Débitos de ICMS",
                                             "Saldo Devedor de ICMS", "Saldo Credor de ICMS",
                                             "SALDO DEVEDOR ANTES DAS DEDUÇÕES"};
  return d;
}

void TResumo::GravarValoresParaContabilizacao() { GravarValoresContabeis(DescricoesContabeisICMS(), "000"); }
