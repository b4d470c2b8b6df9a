#pragma once
// CFOP register lines: the totals of the entries or exits of one CFOP in the period. A list of them
// hangs on each debit and credit line list, and their tax total counts in that list's total.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/base/moeda.h"

class TRegistro {
 public:
  Currency GetBaseCalculo() const { return FBaseCalculo; }
  void SetBaseCalculo(Currency v) { FBaseCalculo = v; }
  const std::string& GetCFOP() const { return FCFOP; }
  void SetCFOP(std::string v) { FCFOP = std::move(v); }
  const std::string& GetDescricaoCFOP() const { return FDescricaoCFOP; }
  void SetDescricaoCFOP(std::string v) { FDescricaoCFOP = std::move(v); }
  Currency GetImposto() const { return FImposto; }
  void SetImposto(Currency v) { FImposto = v; }
  bool GetImprimirNoRegistro() const { return FImprimirNoRegistro; }
  void SetImprimirNoRegistro(bool v) { FImprimirNoRegistro = v; }
  Currency GetIsentas() const { return FIsentas; }
  void SetIsentas(Currency v) { FIsentas = v; }
  Currency GetOutras() const { return FOutras; }
  void SetOutras(Currency v) { FOutras = v; }
  Currency GetValorContabil() const { return FValorContabil; }
  void SetValorContabil(Currency v) { FValorContabil = v; }

 private:
  Currency FBaseCalculo;
  std::string FCFOP;
  std::string FDescricaoCFOP;
  Currency FImposto;
  bool FImprimirNoRegistro = false;
  Currency FIsentas;
  Currency FOutras;
  Currency FValorContabil;
};

// A method of an object returning the register tax total that replaces the sum of the lines.
using TTotalImpostoMethod = std::function<Currency()>;

class TRegistros {
 public:
  TRegistro* Add();
  TRegistro* GetItem(int i) const { return FItens.at(static_cast<size_t>(i)).get(); }
  int Count() const { return static_cast<int>(FItens.size()); }
  TRegistro* Locate(const std::string& cfop) const;
  Currency GetTotalImposto() const;
  // New lines owned by the caller: all lines summed ("TOTAIS"), or those of one CFOP group.
  std::unique_ptr<TRegistro> GetSoma() const;
  std::unique_ptr<TRegistro> GetSoma(const std::string& grupo) const;

  TTotalImpostoMethod TotalImposto;

 private:
  std::vector<std::unique_ptr<TRegistro>> FItens;
};
