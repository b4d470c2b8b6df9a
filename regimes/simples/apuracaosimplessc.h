#pragma once
// TResumoSimplesSC: the state small-business regime of Santa Catarina (until June 2007). The tax
// of the period is a rate of the taxable revenue, less the bracket's amount to deduct; revenue is
// summed by the host from the state's CFOP formulas (1 gross, 2 taxable; entries lower it), the
// taxable revenue may be lowered by a deduction for advance payments kept in the return, and rate
// and deduction come from the rate table of the period. A bracket of class 1 holds the tax itself.
// The tax enters the summary as the tax of the exits register. A centraliser settles the revenue
// of the company's establishments in the state; a centralised establishment settles nothing but
// still shows its own revenue. Recorded and printed with the class, agreement and periodicity of
// the state's payment document, as the regular regime of SC.
#include <cstdint>
#include <string>

#include "apuracao/resumo.h"
#include "host/base/fracao.h"

class TResumoSimplesSC : public TResumo {
 public:
  TResumoSimplesSC();
  void CalcularApuracaoAntes() override;
  void CalcularApuracaoDepois() override;
  void ChamarFormDadosAcessorios() override;
  void GravarSaldoDevedor() override;
  void LoadCreditos() override;
  void LoadDebitos() override;
  void LoadSaldos() override;
  TTipoResumo GetTipoResumo() const override;
  void AcrescentarLeituras(integridade::TLeituras& leituras) const override;
  void ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) override;
  void ImprimirObservacoes(int& linha, const TImprimirProc& imprimir) override;

  void BuscaDadosAuxiliares();
  std::string GetNumeroAcordoDoPeriodoOuAnterior();
  Currency GetDedRecTrib();
  Currency CalcularSimples();
  TFracao GetAliquota(Currency valor);
  // The tax of a taxable revenue: the revenue rounded to cents x rate (percent, five decimals) -
  // amount to deduct, kept to the four decimals of money (not cents), from the exact value.
  static Currency Imposto(Currency receitaTributavel, const TFracao& aliquota, Currency deducao);
  Currency GetDebitosPelasSaidas() const { return FImposto; }
  Currency GetTotalImposto() const { return Currency(); }

  const TFracao& GetAliquotaCalculada() const { return FAliquota; }
  int32_t GetClasse() const { return FClasse; }
  Currency GetDeducao() const { return FDeducao; }
  Currency GetDeducaoReceitaTributavel() const { return FDedRecTrib; }
  Currency GetImposto() const { return FImposto; }
  const std::string& GetAcordo() const { return FAcordo; }
  bool GetTemAcordo() const { return FTemAcordo; }
  int32_t GetIdGia() const { return FIdGia; }
  Currency GetReceitaBrutaAno() const { return FReceitaBrutaAno; }
  Currency GetReceitaBrutaMesCentraliz() const { return FReceitaBrutaMesCentraliz; }
  Currency GetReceitaBrutaMesPropria() const { return FReceitaBrutaMesPropria; }
  Currency GetReceitaTribMesCentraliz() const { return FReceitaTribMesCentraliz; }
  Currency GetReceitaTribMesPropria() const { return FReceitaTribMesPropria; }

 private:
  bool Centralizado() const { return FFormaApuracao.TipoApuracao == 2; }
  bool Centralizador() const { return FFormaApuracao.TipoApuracao == 1; }

  TFracao FAliquota;  // percent, five decimals; with class 1 the tax itself
  Currency FImposto;
  Currency FDedRecTrib;
  Currency FDeducao;
  int32_t FClasse = 0;
  int32_t FIdGia = 0;
  std::string FAcordo;
  Currency FReceitaBrutaAno;
  Currency FReceitaBrutaMesCentraliz;
  Currency FReceitaBrutaMesPropria;
  Currency FReceitaTribMesCentraliz;
  Currency FReceitaTribMesPropria;
  bool FTemAcordo = false;
};
