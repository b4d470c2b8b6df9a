#pragma once
// TResumoSimplesNovoRS: the state small-business regime of Rio Grande do Sul (law 12.410 of
// 22/12/2005, settled from July 2006 until the national Simples took over in July 2007). The tax
// of the month is not debits less credits: it is the rate of a revenue bracket applied to the
// monthly taxable revenue of the company's RS establishments counted in whole UPF, less the
// bracket's amount to deduct, turned back into reais.
//
// Revenue and deductions come from the CFOP formulas of RS (formulas 5 and 6) over the document
// items, plus services revenue, the establishment's ICMS-ST due (settled here by a run of RS ICMS-ST
// summaries of its own, which records what those summaries record) and what the return's
// auxiliary data add (establishments in other states or outside this database). One establishment
// of a group may centralise the others: it settles the tax of all, they settle 0.
//
// A tax below 5 UPF is postponed to the next period by itself, as an "other debit" entry. The book
// shows the revenue and deduction figures, a warning when the year's revenue leaves the class, and,
// when the auxiliary data were asked, the composition of the revenue item by item (book texts in
// apuracaosimplesnovorslivro.cpp).
#include <cstdint>
#include <string>

#include "apuracao/resumo.h"
#include "regimes/simples/dadosauxsimplesnovors.h"

class TQDSQLQuery;
class TEvMacroFormula;

class TResumoSimplesNovoRS : public TResumo {
 public:
  TResumoSimplesNovoRS();

  void CalcularApuracaoAntes() override;
  void CalcularApuracaoDepois() override;
  void ChamarFormDadosAcessorios() override;
  void GravarSaldoDevedor() override;
  void LoadCreditos() override;
  void LoadDebitos() override;
  void LoadSaldos() override;
  Currency GetImpostoARecolher() override;
  TTipoResumo GetTipoResumo() const override;
  void AcrescentarLeituras(integridade::TLeituras& leituras) const override;
  void ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) override;
  void ImprimirObservacoes(int& linha, const TImprimirProc& imprimir) override;

  // The nine auxiliary values of the month's return, else of the previous month's (a proposal).
  void BuscaDadosAuxiliares(int32_t idGia, int32_t idGiaAnterior);
  // One value of a return; 0 when the row is missing or not a number.
  Currency BuscaDadosAuxiliares(int32_t idGia, const std::string& tpRegistro, const std::string& codigo);
  // The tax of the month in reais. Throws EUPFNaoCadastrada when it depends on a UPF the host does
  // not have (the user was told first).
  Currency CalcularSimples();
  double SomaReceitaBrutaSimplesRS(TDateTime inicio, TDateTime fim, TTipoSomaReceita tipo);
  Currency SomaDeducoesReceitaSimplesRS(TTipoSomaReceita tipo);
  double SomaReceitaServicos(TDateTime inicio, TDateTime fim, TTipoSomaReceita tipo);
  Currency GetSaldoDevedorST(TTipoSomaReceita tipo);
  int64_t GetIdFilialCentralizador();
  double GetAliquotaSimples();
  TTipoEnquadramento GetNovoEnquadramento();
  // The UPF at the period end; 0 when the host has none.
  double GetUPF();

  Currency GetTotalReceitaBrutaMesPropria() const;
  Currency GetTotalReceitaBrutaMesCentraliz() const;
  Currency GetTotalDeducaoPropria() const;
  Currency GetTotalDeducaoCentraliz() const;
  Currency GetTotalReceitaTribMesPropria() const;
  Currency GetTotalReceitaTribMesCentraliz() const;
  // The register tax of every line list: the registers show the period's documents, their ICMS
  // is no part of this tax.
  Currency GetTotalImposto() const { return Currency(); }

  TDadosAuxSimplesNovoRS GetDadosAux() const;
  int32_t GetIdGia() const { return FIdGia; }
  int32_t GetIdGiaAnterior() const { return FIdGiaAnterior; }
  Currency GetReceitaBrutaAcumulada() const { return FReceitaBrutaAcumulada; }
  Currency GetReceitaBrutaMesPropria() const { return FReceitaBrutaMesPropria; }
  Currency GetReceitaBrutaMesCentraliz() const { return FReceitaBrutaMesCentraliz; }
  Currency GetReceitaServicosPropria() const { return FReceitaServicosPropria; }
  Currency GetReceitaServicosCentraliz() const { return FReceitaServicosCentraliz; }
  Currency GetDeducoesPropria() const { return FDeducoesPropria; }
  Currency GetDeducoesCentraliz() const { return FDeducoesCentraliz; }
  Currency GetSaldoDevedorSTPropria() const { return FSaldoDevedorSTPropria; }
  Currency GetSaldoDevedorSTCentraliz() const { return FSaldoDevedorSTCentraliz; }
  Currency GetAliquota() const { return FAliquota; }
  // The bracket's amount to deduct: in reais as the table holds it, in UPF once the tax is calculated.
  double GetDeducao() const { return FDeducao; }

 protected:
  TFormDadosAuxSimplesNovoRS* FFormDadosAux = nullptr;
  int32_t FIdGia = 0;
  int32_t FIdGiaAnterior = 0;
  int32_t FNumEmpregados = 0;
  Currency FRecBrutaOutros;
  Currency FRecBrutaAnterior;
  Currency FDespesas;
  Currency FRecBrutaRS;
  Currency FDespSalarios;
  Currency FOutrasRecJanJun;
  Currency FDedRecBruta;
  Currency FOutrasRecMes;
  Currency FReceitaBrutaAcumulada;
  Currency FReceitaBrutaMesPropria;
  Currency FReceitaBrutaMesCentraliz;
  Currency FReceitaServicosPropria;
  Currency FReceitaServicosCentraliz;
  Currency FDeducoesPropria;
  Currency FDeducoesCentraliz;
  Currency FSaldoDevedorSTPropria;
  Currency FSaldoDevedorSTCentraliz;
  Currency FAliquota;
  double FDeducao = 0;
  double FUPF = 0;

 private:
  // The centralisation role: 0 settles alone, 1 centraliser, 2 centralised.
  uint8_t Papel() const { return FFormaApuracao.TipoApuracao; }
  void SetDadosAux(const TDadosAuxSimplesNovoRS& dados);
  // The condition on SC00_FILIAL that selects the establishments of a revenue sum's scope.
  std::string FiltroSoma(TTipoSomaReceita tipo) const;
  // Whether the tax due counts as small (below 5 UPF) and is carried to the next period.
  bool Postergado(Currency imposto);
  void ImprimirComposicaoCalculo(int& linha, const TImprimirProc& imprimir);
  // The formula over the value columns of the current row of a revenue or composition query.
  static double AvaliarFormula(TEvMacroFormula& formulas, const TQDSQLQuery& q, int32_t numero);
};
