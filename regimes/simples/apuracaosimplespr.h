#pragma once
// TResumoSimplesPR: the small-business regime of Paraná. The tax of the period is the rate of the
// bracket of the period's taxable revenue, less the bracket's amount to deduct, rounded to cents
// and never negative; it enters the settlement as the tax of the exits register. A centraliser
// adds the revenue of its affiliated companies, which its exits carry in auxiliary records; a
// centralised establishment owes nothing of its own. The due day comes from the last digit of the
// state inscription (regimes/vencimentopr.h).
#include <cstdint>

#include "apuracao/resumo.h"
#include "host/base/fracao.h"

class TResumoSimplesPR : public TResumo {
 public:
  TResumoSimplesPR();
  void CalcularApuracaoAntes() override;
  void CalcularApuracaoDepois() override;
  TCodigoRecolhimento GetCodigoRecolhimento() override;
  void GravarSaldoDevedor() override;
  void LoadCreditos() override;
  void LoadDebitos() override;
  void LoadSaldos() override;
  TTipoResumo GetTipoResumo() const override;
  void AcrescentarLeituras(integridade::TLeituras& leituras) const override;
  void ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) override;
  void ImprimirObservacoes(int& linha, const TImprimirProc& imprimir) override;

  void CalcularSimples();
  // The tax of a taxable revenue in a bracket: revenue x rate (percent) - amount to deduct,
  // rounded to cents, halves up, from the exact value; never negative.
  static Currency Imposto(Currency receitaTributavel, const TFracao& aliquota, Currency deducao);
  void GetAliquota(Currency valor);

  const TFracao& GetAliquota() const { return FAliquota; }
  Currency GetDeducao() const { return FDeducao; }
  int32_t GetClasse() const { return FClasse; }
  Currency GetReceitaBrutaAno() const { return FReceitaBrutaAno; }
  Currency GetReceitaBrutaMes() const { return FReceitaBrutaMes; }
  Currency GetReceitaTribMes() const { return FReceitaTribMes; }
  Currency GetImposto() const { return FImposto; }

 private:
  bool Centralizada() const { return FFormaApuracao.TipoApuracao == 2; }
  // Gross and taxable revenue of the affiliated companies carried by the exits of the interval.
  void SomarColigadas(TDateTime inicio, TDateTime fim, Currency& bruta, Currency* tributavel);

  TFracao FAliquota;
  Currency FDeducao;
  int32_t FClasse = 0;
  int32_t FIdGia = 0;
  Currency FReceitaBrutaAno;
  Currency FReceitaBrutaMes;
  Currency FReceitaBrutaColigados;
  Currency FReceitaTribMes;
  Currency FReceitaTribColigados;
  Currency FImposto;
};
