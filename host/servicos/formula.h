#pragma once
// The host's formula component (TEvMacroFormula): arithmetic over named numbers, as the per-state
// CFOP configuration writes it ("VLRCONTABIL - IPI"). The language is numbers with a decimal
// point, the variables added, + - * / ^, unary minus and parentheses; nothing else, so that a
// mistyped formula is an error and never a plausible wrong figure. docs/tabelas.md describes it
// for users.
//
// Each distinct text is compiled once, on its first Eval, and kept for the evaluator's lifetime;
// the compiled formula reads the variables where AddVariable keeps them, so evaluating it over
// thousands of document items costs no parsing. ClearVariables forgets which names are defined
// but keeps their storage, so compiled formulas stay valid and a formula that uses a name not
// added again is still refused.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "host/base/fracao.h"

// A formula that cannot be evaluated. Motivo() says what is wrong in words a user can act on
// ("usa vírgula; escreva os decimais com ponto"); DosValores() is true when the text is valid and
// the values it was given made it fail (a division by zero), so that the caller names them.
class EFormula : public std::runtime_error {
 public:
  EFormula(std::string formula, std::string motivo, bool dosValores = false);
  const std::string& Formula() const { return formula_; }
  const std::string& Motivo() const { return motivo_; }
  bool DosValores() const { return dosValores_; }

 protected:
  EFormula(std::string mensagem, std::string formula, std::string motivo, bool dosValores);

 private:
  std::string formula_, motivo_;
  bool dosValores_;
};

// A formula of ES02_CFOPCFGUF that cannot be evaluated, named as the user finds it: formula
// number, CFOP and state, and the document item (`documento`, given when DosValores()).
class EFormulaCFOP : public EFormula {
 public:
  EFormulaCFOP(const EFormula& e, int32_t numero, std::string cfop, std::string uf, std::string documento = "");
  int32_t Numero() const { return numero_; }
  const std::string& Cfop() const { return cfop_; }
  const std::string& UF() const { return uf_; }

 private:
  int32_t numero_;
  std::string cfop_, uf_;
};

class TEvMacroFormula {
 public:
  TEvMacroFormula();
  ~TEvMacroFormula();
  TEvMacroFormula(const TEvMacroFormula&) = delete;
  TEvMacroFormula& operator=(const TEvMacroFormula&) = delete;

  void ClearVariables();
  // Defines the name, or gives it a new value.
  void AddVariable(const std::string& nome, double valor);
  // The same for an amount, which Valor then reads exactly.
  void AddVariable(const std::string& nome, Currency valor);
  // The formula's value with the variables as they are now; 0 for a text that is blank after
  // trimming (a CFOP without a formula contributes nothing). Throws EFormula for a comma (the
  // parser would take "0,5" as two expressions and return 5) or any other character outside the
  // language (the parser's own "?:", comparisons), a name not defined, a syntax error,
  // a division by zero (even one whose result would be finite, as 1/(1/0)) and a result that is
  // not a finite number.
  double Eval(const std::string& formula);
  // The formula's exact value: the text is checked and refused as Eval does, then computed over
  // fractions, so that "VLRCONTABIL * 0.026" of 47.50 is 1.235, not the parser's 1.2349999...
  // A power with an exponent that is not a whole number (or beyond 64) has no exact value: the
  // formula then takes Eval's result as the decimal it reads as (TFracao::DeReal). A division by
  // a value that is exactly 0 is refused as Eval refuses it, and so is an exact value beyond what
  // a fraction holds ("tem resultado fora do limite dos valores").
  TFracao Valor(const std::string& formula);

 private:
  void AddVariable(const std::string& nome, double valor, const TFracao& exato);
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
