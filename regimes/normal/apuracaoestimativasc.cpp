// The estimate regime of SC: the semester's earlier debits, credits and instalments carried into each
// month, the tax recorded at the semester's end.
#include "regimes/normal/apuracaoestimativasc.h"

#include "host/base/formatacao.h"
#include "host/host.h"
#include "regimes/sqlregimes.h"

TTipoResumo TResumoEstimativaSC::GetTipoResumo() const { return trEstimativaSC; }

void TResumoEstimativaSC::AcrescentarLeituras(integridade::TLeituras& leituras) const {
  AcrescentarLeiturasDesde(leituras, GetDataInicioSemestre(), false);
}

void TResumoEstimativaSC::CalcularApuracaoAntes() {}

void TResumoEstimativaSC::CalcularApuracaoDepois() { CalcularEstimativa(); }

// The estimate is settled by the semester's result: nothing is carried from month to month.
void TResumoEstimativaSC::GravarSaldoCredor() {}

void TResumoEstimativaSC::GravarSaldoDevedor() {
  const int mes = DecodeDate(FDataFim).mes;
  if (mes == 6 || mes == 12) TResumoNormalSC::GravarSaldoDevedor();
}

TDateTime TResumoEstimativaSC::GetDataInicioSemestre() const {
  const TDataPartes fim = DecodeDate(FDataFim);
  return EncodeDate(fim.ano, fim.mes < 7 ? 1 : 7, 1);
}

// The semester's days before this period; none when the period itself starts the semester.
void TResumoEstimativaSC::GetValoresAcumulados() {
  const std::string inicio = TFormPrincipal::DataSQL(GetDataInicioSemestre());
  const std::string fim = TFormPrincipal::DataSQL(FDataInicio - 1);
  TQDClientDataSet ds;
  GUtilSistema->CreateProviderAtRunTime(ds);
  ds.SetCommandText(Format(kSqlIcmsAcumuladoSemestre, {std::to_string(FFilial.IdFilial), inicio, fim}));
  ds.Open();
  if (ds.Locate("TIPO", {std::string("E")})) FCreditoAcumulado = ds.FieldByName("ICMS").AsCurrency();
  if (ds.Locate("TIPO", {std::string("S")})) FDebitoAcumulado = ds.FieldByName("ICMS").AsCurrency();
  ds.Close();
  ds.SetCommandText(Format(kSqlParcelasEstimadas, {std::to_string(FFilial.IdFilial), inicio, fim}));
  ds.Open();
  if (!ds.Eof()) FParcelasAcumuladas = ds.FieldByName("VALOR").AsCurrency();
}

void TResumoEstimativaSC::CalcularEstimativa() {
  const int mes = DecodeDate(FDataFim).mes;
  if (mes == 1 || mes == 7) return;
  GetValoresAcumulados();
  const Currency zero;
  TResumoCampo* outrosDebitos = LocalizarOuAdicionar(*FDebito, 2, "OUTROS DÉBITOS", 1);
  if (FDebitoAcumulado > zero)
    AdicionarDetalhe(*outrosDebitos, "08020", "Débito acumulado até o mês anterior, no semestre", FDebitoAcumulado);
  TResumoCampo* outrosCreditos = LocalizarOuAdicionar(*FCredito, 6, "OUTROS CRÉDITOS", 1);
  if (FCreditoAcumulado > zero)
    AdicionarDetalhe(*outrosCreditos, "08040", "Crédito acumulado até o mês anterior, no semestre", FCreditoAcumulado);
  if (FParcelasAcumuladas > zero)
    AdicionarDetalhe(*outrosCreditos, "08050", "Somatório das parcelas estimadas até o mês anterior, no semestre",
                     FParcelasAcumuladas);
}
