#pragma once
// TResumoST: the ICMS withheld or owed by tax substitution for one state inscription and one ST
// period. Registers count only the ST items of documents whose participant lies in the
// inscription's state; without an inscription number the tax is paid by GNRE guides per document.
#include "apuracao/resumo.h"
#include "apuracao/resumos.h"

class TResumoST : public TResumo, public TResumoInscricaoST {
 public:
  TResumoST();
  void CalcularApuracaoAntes() override;
  void CalcularApuracaoDepois() override;
  void CalcularCIAP() override;
  void CalcularCreditoPresumidoTransporte() override;
  void CalcularInsumoCreditoIndustria() override;
  void CalcularInsumoCreditoTransporte() override;
  TCodigoRecolhimento GetCodigoRecolhimento() override;
  void GravarSaldoDevedor() override;
  void LoadRegistrosEntrada(TRegistros& registros) override;
  void LoadRegistrosSaida(TRegistros& registros) override;
  TTipoResumo GetTipoResumo() const override;
  void GravarValoresParaContabilizacao() override;
  void ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) override;

  void ImprimirGNRE(int& linha, const TImprimirProc& imprimir);

  const std::string& GetInscrEst() const { return FInscrEst; }
  void SetInscrEst(std::string v) override { FInscrEst = std::move(v); }
  const std::string& GetUF() const { return FUF; }
  void SetUF(std::string v) override { FUF = std::move(v); }

 protected:
  // The guides of the book: the GNRE guides without an inscription number, else the recorded
  // guides of the guide query given; then the specific debits.
  void ImprimirGuiasOuGNRE(const char* sqlGuias, int& linha, const TImprimirProc& imprimir);

  std::string FInscrEst;
  std::string FUF;
};
