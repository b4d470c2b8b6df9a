#pragma once
// TResumoSimplesRN: the small-business programme of Rio Grande do Norte (CRESCE-RN). The tax is a
// fixed amount per band, read from the band table of the establishment's classification; the band
// is configured for the establishment. Revenue and entries of the establishment, of the company's
// other establishments and of the year are summed only for the book. Deductions entered on the
// balance list are listed but do not lower the tax.
#include <cstdint>
#include <string>

#include "apuracao/resumo.h"

class TResumoSimplesRN : public TResumo {
 public:
  TResumoSimplesRN();
  void CalcularApuracaoAntes() override;
  void CalcularApuracaoDepois() override;
  void GravarSaldoDevedor() override;
  TTipoResumo GetTipoResumo() const override;
  void AcrescentarLeituras(integridade::TLeituras& leituras) const override;
  void ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) override;
  void ImprimirObservacoes(int& linha, const TImprimirProc& imprimir) override;

  Currency CalcularSimples();
  Currency GetValorARecolherProgramaCresce(int32_t faixa, TDateTime inicio, TDateTime fim, uint8_t enquadramento);

  int32_t GetFaixa() const { return FFaixa; }
  Currency GetReceitaBrutaMes() const { return FReceitaBrutaMes; }
  Currency GetReceitaBrutaCentraliz() const { return FReceitaBrutaCentraliz; }
  Currency GetVolumeEntradasCentraliz() const { return FVolumeEntradasCentraliz; }

 private:
  uint8_t FEnquadramento = 0;  // 0 micro enterprise, 1 small enterprise, 2 neither
  int32_t FFaixa = 0;
  std::string FFaixaAusente;  // why the period has no band, for the warning; empty when it has one
  Currency FVolumeEntradasAno;
  Currency FVolumeEntradasMes;
  Currency FVolumeEntradasCentraliz;
  Currency FReceitaBrutaAno;
  Currency FReceitaBrutaMes;
  Currency FReceitaBrutaCentraliz;
};
