#pragma once
// TResumoSTRS: the ICMS-ST of an inscription in Rio Grande do Sul. As the generic ST summary, plus:
// a centraliser adds the ST of the company's other establishments (same participant state) to its
// register tax totals, without printing their lines (the book shows each one's share under items
// 001 and 005); a centralised establishment records no tax;
// the tax is recorded with the payment code's application sub-code, and the book's guides are
// described by it.
#include <memory>

#include "regimes/subtrib/apuracaosubtrib.h"

class TResumoSTRS : public TResumoST {
 public:
  TResumoSTRS();
  void CalcularApuracaoAntes() override;
  void GravarSaldoDevedor() override;
  TTipoResumo GetTipoResumo() const override;
  void AcrescentarLeituras(integridade::TLeituras& leituras) const override;
  void ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) override;
  const TDetalhamentos* GetParticipacoesCentralizadas(bool saidas) const override;

  Currency GetTotalImpostoEntradas() const;
  Currency GetTotalImpostoSaidas() const;
  void LoadRegistrosOutrosEstabEntrada();
  void LoadRegistrosOutrosEstabSaida();

  TRegistros& GetSTOutrosEstabEntrada() { return *FSTOutrosEstabEntrada; }
  void SetSTOutrosEstabEntrada(std::unique_ptr<TRegistros> v) { FSTOutrosEstabEntrada = std::move(v); }
  TRegistros& GetSTOutrosEstabSaida() { return *FSTOutrosEstabSaida; }
  void SetSTOutrosEstabSaida(std::unique_ptr<TRegistros> v) { FSTOutrosEstabSaida = std::move(v); }

 private:
  void CarregarOutrosEstab(const char* sql, TRegistros& registros);
  void CarregarParticipacoes(bool saidas, TDetalhamentos& participacoes);
  std::unique_ptr<TRegistros> FSTOutrosEstabEntrada;
  std::unique_ptr<TRegistros> FSTOutrosEstabSaida;
  std::unique_ptr<TDetalhamentos> FParticipacoesEntrada, FParticipacoesSaida;
};
