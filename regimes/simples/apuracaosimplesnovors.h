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
#include "host/base/fracao.h"
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
  Currency GetDeducoesNaoAproveitadas() override;

  // The nine auxiliary values of the month's return, else of the previous month's (a proposal).
  void BuscaDadosAuxiliares(int32_t idGia, int32_t idGiaAnterior);
  // One value of a return; 0 when the row is missing or not a number.
  Currency BuscaDadosAuxiliares(int32_t idGia, const std::string& tpRegistro, const std::string& codigo);
  // The tax of the month in reais. Throws EUPFNaoCadastrada when it depends on a UPF the host does
  // not have (the user was told first).
  Currency CalcularSimples();
  TFracao SomaReceitaBrutaSimplesRS(TDateTime inicio, TDateTime fim, TTipoSomaReceita tipo);
  Currency SomaDeducoesReceitaSimplesRS(TTipoSomaReceita tipo);
  Currency SomaReceitaServicos(TDateTime inicio, TDateTime fim, TTipoSomaReceita tipo);
  Currency GetSaldoDevedorST(TTipoSomaReceita tipo);
  int64_t GetIdFilialCentralizador();
  TFracao GetAliquotaSimples();
  TTipoEnquadramento GetNovoEnquadramento();
  // The UPF at the period end; 0 when the host has none.
  Currency GetUPF();

  // The tax of a monthly taxable revenue counted in fiscal units, every step exact: the revenue in
  // whole UPF (cut), the bracket's amount to deduct in UPF (rounded to cents, halves up), the tax
  // in UPF = rate (percent / 100 to five decimals, halves to even) x whole UPF - amount in UPF, kept
  // as money, and the tax in reais = tax in UPF x UPF rounded to cents, halves up. The UPF must be
  // positive.
  struct TCalculoUPF {
    int64_t Unidades = 0;
    Currency DeducaoUPF;
    Currency ImpostoUPF;
    Currency Imposto;
  };
  static TCalculoUPF CalcularEmUPF(Currency receitaTributavel, Currency aliquota, Currency deducao, Currency upf);
  // A tax below 5 UPF, strictly, is small: carried to the next period.
  static bool Pequeno(Currency imposto, Currency upf) { return upf > Currency() && imposto < upf * 5; }

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
  Currency GetDeducao() const { return FDeducao; }

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
  Currency FDeducao;
  Currency FUPF;

 private:
  // The centralisation role: 0 settles alone, 1 centraliser, 2 centralised.
  uint8_t Papel() const { return FFormaApuracao.TipoApuracao; }
  void SetDadosAux(const TDadosAuxSimplesNovoRS& dados);
  // The condition on SC00_FILIAL that selects the establishments of a revenue sum's scope.
  std::string FiltroSoma(TTipoSomaReceita tipo) const;
  void ImprimirComposicaoCalculo(int& linha, const TImprimirProc& imprimir);
  // The formula over the value columns of the current row of a revenue or composition query.
  static TFracao AvaliarFormula(TEvMacroFormula& formulas, const TQDSQLQuery& q, int32_t numero);
};
