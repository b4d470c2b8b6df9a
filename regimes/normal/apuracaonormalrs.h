#pragma once
// TResumoNormalRS: the regular ICMS regime of an establishment in Rio Grande do Sul. The generic
// regular settlement plus what the state's return (GIA) and rules ask for: the return's auxiliary
// data (revenue, employees, payroll, energy) with their dialog, the postponement of a tax due below
// 5 UPF to the next period, the annex (VIII or IX) the tax goes to, the credit balance that also
// carries non-compensable transferred credits (line 14), and guides described by the payment
// code's application sub-code.
#include <cstdint>

#include "regimes/normal/apuracaonormal.h"

class TFormDadosAuxNormalRS;

// How a small tax due is postponed: every one without asking, none without asking, or ask each
// time. Program-wide: "Todos" or "Nenhum" answered once holds for every later settlement until the
// program ends; each program run starts asking again.
enum TPostergarImposto { piSimTodos, piNaoTodos, piPerguntar };
extern TPostergarImposto GPostergarImposto;

class TResumoNormalRS : public TResumoNormal {
 public:
  void CalcularApuracaoAntes() override;
  void CalcularApuracaoDepois() override;
  void ChamarFormDadosAcessorios() override;
  void GravarSaldoCredor() override;
  void GravarSaldoDevedor() override;
  Currency GetSaldoCredor() override;
  TTipoResumo GetTipoResumo() const override;
  void GravarValoresParaContabilizacao() override;
  void ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) override;

  void BuscaDadosAuxiliares(int32_t idGia);
  void TratarCreditosTransfNaoCompensados();
  Currency GetUPF();

  int32_t GetConsumo() const { return FConsumo; }
  int32_t GetEmpregados() const { return FEmpregados; }
  Currency GetFaturamento() const { return FFaturamento; }
  Currency GetValorFolha() const { return FValorFolha; }
  int32_t GetIdGia() const { return FIdGia; }
  bool GetPostergar() const { return FPostergar; }

 protected:
  int32_t FConsumo = 0;
  int32_t FEmpregados = 0;
  TFormDadosAuxNormalRS* FFormDadosAux = nullptr;
  int32_t FIdGia = 0;
  bool FPostergar = false;
  Currency FUPF;
  Currency FFaturamento;
  Currency FValorFolha;

 private:
  void Postergar(Currency imposto);
  void GravarAnexoGia(Currency imposto);
  // "DDdd": the days of the period start and end, two digits each.
  std::string DiasDoPeriodo() const;
  std::string DiaDoFim() const;
};
