#include "host/servicos/formula.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include <muParser.h>

#include "host/base/texto.h"

EFormula::EFormula(std::string formula, std::string motivo, bool dosValores)
    : EFormula("Fórmula \"" + formula + "\" " + motivo + ".", formula, motivo, dosValores) {}

EFormula::EFormula(std::string mensagem, std::string formula, std::string motivo, bool dosValores)
    : std::runtime_error(mensagem), formula_(std::move(formula)), motivo_(std::move(motivo)), dosValores_(dosValores) {}

EFormulaCFOP::EFormulaCFOP(const EFormula& e, int32_t numero, std::string cfop, std::string uf, std::string documento)
    : EFormula("Fórmula " + std::to_string(numero) + " da CFOP " + cfop + " na UF " + uf + " (ES02_CFOPCFGUF): \"" +
                   e.Formula() + "\" " + e.Motivo() + (documento.empty() ? "" : ", no " + documento) + ".",
               e.Formula(), e.Motivo(), e.DosValores()),
      numero_(numero),
      cfop_(std::move(cfop)),
      uf_(std::move(uf)) {}

namespace {

// The parser's own operators are replaced by these: its division gives inf silently, its "=" assigns
// to the variables (and so to the next item's values), and its comparisons have no place in a sum.
// A division by zero is flagged here and reported after the evaluation, so that no exception has to
// cross the parser.
thread_local bool tDividiuPorZero = false;

double Somar(double a, double b) { return a + b; }
double Subtrair(double a, double b) { return a - b; }
double Multiplicar(double a, double b) { return a * b; }
double Dividir(double a, double b) {
  if (b == 0) {
    tDividiuPorZero = true;
    return 0;
  }
  return a / b;
}
double Potencia(double a, double b) { return std::pow(a, b); }

std::string MotivoDoParser(const mu::ParserError& e) {
  switch (e.GetCode()) {
    case mu::ecUNEXPECTED_EOF: return "está incompleta no fim";
    case mu::ecMISSING_PARENS: return "tem parêntese aberto sem fechar";
    default: break;
  }
  std::string motivo = "tem erro de sintaxe na posição " + std::to_string(e.GetPos() + 1);
  const std::string trecho = texto::Aparar(e.GetToken());
  return trecho.empty() ? motivo : motivo + " (\"" + trecho + "\")";
}

// Everything a formula may be written with: names, numbers, the operators and parentheses.
constexpr const char* kCaracteres =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_. \t\r\n+-*/^()";

bool ParteDeNome(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

bool NomeValido(const std::string& nome) {
  if (nome.empty() || std::isdigit(static_cast<unsigned char>(nome[0]))) return false;
  for (char c : nome)
    if (!ParteDeNome(c)) return false;
  return true;
}

// Where the name first stands whole: "AB" is not read inside "AB2". The text's end is its NUL.
size_t PosicaoDoNome(const std::string& formula, const std::string& nome) {
  size_t p = formula.find(nome);
  while (p != std::string::npos && ((p > 0 && ParteDeNome(formula[p - 1])) || ParteDeNome(formula[p + nome.size()])))
    p = formula.find(nome, p + 1);
  return p;
}

}  // namespace

struct TEvMacroFormula::Impl {
  struct Variavel {
    double valor = 0;
    TFracao exato;
    bool definida = false;
  };

  // The formula as a tree, evaluated over fractions. Only texts the parser accepted are read.
  struct No {
    char op = 0;  // 0 number, 'v' variable, 'n' negation, else the binary operator
    TFracao numero;
    const Variavel* variavel = nullptr;
    std::unique_ptr<No> esq, dir;
  };
  class Leitor {
   public:
    Leitor(const std::string& t, const std::map<std::string, Variavel>& v) : t_(t), v_(v) {}
    // nullptr when the text is not read to its end (then the exact value is not offered)
    std::unique_ptr<No> Ler() {
      auto n = Expressao();  // which ends past the blanks after it
      return n && p_ == t_.size() ? std::move(n) : nullptr;
    }

   private:
    void Espacos() {
      while (p_ < t_.size() && std::isspace(static_cast<unsigned char>(t_[p_]))) ++p_;
    }
    bool Aceitar(char c) {
      Espacos();
      if (p_ < t_.size() && t_[p_] == c) return ++p_, true;
      return false;
    }
    static std::unique_ptr<No> Binario(char op, std::unique_ptr<No> a, std::unique_ptr<No> b) {
      if (!a || !b) return nullptr;
      auto n = std::make_unique<No>();
      n->op = op;
      n->esq = std::move(a);
      n->dir = std::move(b);
      return n;
    }
    std::unique_ptr<No> Expressao() {
      auto n = Termo();
      for (;;) {
        if (Aceitar('+')) n = Binario('+', std::move(n), Termo());
        else if (Aceitar('-')) n = Binario('-', std::move(n), Termo());
        else return n;
      }
    }
    std::unique_ptr<No> Termo() {
      auto n = Unario();
      for (;;) {
        if (Aceitar('*')) n = Binario('*', std::move(n), Unario());
        else if (Aceitar('/')) n = Binario('/', std::move(n), Unario());
        else return n;
      }
    }
    // The sign binds looser than the power: -A ^ 2 is -(A ^ 2).
    std::unique_ptr<No> Unario() {
      if (Aceitar('+')) return Unario();
      if (Aceitar('-')) {
        auto d = Unario();
        if (!d) return nullptr;
        auto n = std::make_unique<No>();
        n->op = 'n';
        n->esq = std::move(d);
        return n;
      }
      auto base = Primario();
      if (Aceitar('^')) return Binario('^', std::move(base), Unario());  // from the right
      return base;
    }
    std::unique_ptr<No> Primario() {
      if (Aceitar('(')) {
        auto n = Expressao();
        return Aceitar(')') ? std::move(n) : nullptr;
      }
      Espacos();
      const size_t inicio = p_;
      auto n = std::make_unique<No>();
      if (p_ < t_.size() && (std::isdigit(static_cast<unsigned char>(t_[p_])) || t_[p_] == '.')) {
        while (p_ < t_.size() && (std::isdigit(static_cast<unsigned char>(t_[p_])) || t_[p_] == '.')) ++p_;
        if (p_ < t_.size() && (t_[p_] == 'e' || t_[p_] == 'E')) {
          size_t q = p_ + 1;
          if (q < t_.size() && (t_[q] == '+' || t_[q] == '-')) ++q;
          if (q < t_.size() && std::isdigit(static_cast<unsigned char>(t_[q]))) {
            p_ = q;
            while (p_ < t_.size() && std::isdigit(static_cast<unsigned char>(t_[p_]))) ++p_;
          }
        }
        // a literal is the decimal it is written as; strtod's double reads back to that text
        n->numero = TFracao::DeReal(std::strtod(t_.substr(inicio, p_ - inicio).c_str(), nullptr));
        return n;
      }
      while (p_ < t_.size() && ParteDeNome(t_[p_])) ++p_;
      auto v = v_.find(t_.substr(inicio, p_ - inicio));
      if (p_ == inicio || v == v_.end()) return nullptr;
      n->op = 'v';
      n->variavel = &v->second;
      return n;
    }

    const std::string& t_;
    const std::map<std::string, Variavel>& v_;
    size_t p_ = 0;
  };

  // nullopt: a power without an exact value.
  static std::optional<TFracao> Calcular(const No& n, const std::string& formula) {
    switch (n.op) {
      case 0: return n.numero;
      case 'v': return n.variavel->exato;
      case 'n': {
        auto a = Calcular(*n.esq, formula);
        return a ? std::optional(-*a) : std::nullopt;
      }
      default: break;
    }
    const auto a = Calcular(*n.esq, formula), b = Calcular(*n.dir, formula);
    if (!a || !b) return std::nullopt;
    switch (n.op) {
      case '+': return *a + *b;
      case '-': return *a - *b;
      case '*': return *a * *b;
      case '/':
        if (*b == TFracao()) throw EFormula(formula, "divide por zero", true);
        return *a / *b;
      default: break;
    }
    // '^': whole exponents only
    if (b->Denominador() != 1 || b->Numerador() > 64 || b->Numerador() < -64) return std::nullopt;
    const auto e = static_cast<int>(b->Numerador());
    TFracao r(1);
    for (int i = 0; i < (e < 0 ? -e : e); ++i) r = r * *a;
    if (e < 0) {
      if (r == TFracao()) throw EFormula(formula, "divide por zero", true);
      r = TFracao(1) / r;
    }
    return r;
  }

  struct Compilada {
    mu::Parser parser;
    std::vector<std::pair<std::string, const Variavel*>> usadas;
    std::unique_ptr<No> arvore;  // read on the first Valor
    bool lida = false;
  };

  // std::map keeps every value at one address for the evaluator's lifetime: the compiled formulas
  // read them there.
  std::map<std::string, Variavel> variaveis;
  std::vector<std::string> ordem;  // names in the order first added, for messages
  std::unordered_map<std::string, std::unique_ptr<Compilada>> compiladas;

  std::string NomeDesconhecido(const std::string& nome) const {
    std::string validos;
    for (const auto& n : ordem)
      if (variaveis.at(n).definida) validos += (validos.empty() ? "" : ", ") + n;
    return "usa o nome desconhecido " + nome + " (nomes válidos: " + (validos.empty() ? "nenhum" : validos) + ")";
  }

  Compilada& Compilar(const std::string& formula) {
    if (auto it = compiladas.find(formula); it != compiladas.end()) return *it->second;
    if (formula.find(',') != std::string::npos)
      throw EFormula(formula, "usa vírgula; escreva os decimais com ponto (0.5) e os milhares sem separador");
    // The parser also knows "?:", comparisons and "=" and would accept them.
    if (size_t p = formula.find_first_not_of(kCaracteres); p != std::string::npos) {
      size_t n = 1;
      while (p + n < formula.size() && (static_cast<unsigned char>(formula[p + n]) & 0xC0) == 0x80) ++n;  // UTF-8
      throw EFormula(formula, "usa o caractere \"" + formula.substr(p, n) + "\", que as fórmulas não aceitam");
    }
    auto c = std::make_unique<Compilada>();
    mu::Parser& p = c->parser;
    try {
      p.EnableBuiltInOprt(false);
      p.ClearFun();
      p.ClearConst();
      p.DefineOprt("+", Somar, mu::prADD_SUB, mu::oaLEFT, false);
      p.DefineOprt("-", Subtrair, mu::prADD_SUB, mu::oaLEFT, false);
      p.DefineOprt("*", Multiplicar, mu::prMUL_DIV, mu::oaLEFT, false);
      // never folded at compile time: "1/0" would then become 0 before any flag is looked at
      p.DefineOprt("/", Dividir, mu::prMUL_DIV, mu::oaLEFT, false);
      p.DefineOprt("^", Potencia, mu::prPOW, mu::oaRIGHT, false);
      for (auto& [nome, v] : variaveis)
        if (v.definida) p.DefineVar(nome, &v.valor);
      p.SetExpr(formula);
      // Lists every name the text uses, defined or not; the parser would take an undefined one as 0.
      const mu::varmap_type& usadas = p.GetUsedVar();
      std::string desconhecido;
      size_t posicao = std::string::npos;
      for (const auto& usada : usadas) {
        const std::string& nome = usada.first;
        auto v = variaveis.find(nome);
        if (v != variaveis.end() && v->second.definida) {
          c->usadas.emplace_back(nome, &v->second);
        } else if (const size_t onde = PosicaoDoNome(formula, nome); onde < posicao) {  // the first one the text reads
          posicao = onde;
          desconhecido = nome;
        }
      }
      if (!desconhecido.empty()) throw EFormula(formula, NomeDesconhecido(desconhecido));
    } catch (const mu::ParserError& e) {
      throw EFormula(formula, MotivoDoParser(e));
    }
    return *compiladas.emplace(formula, std::move(c)).first->second;
  }
};

TEvMacroFormula::TEvMacroFormula() : impl_(std::make_unique<Impl>()) {}
TEvMacroFormula::~TEvMacroFormula() = default;

void TEvMacroFormula::ClearVariables() {
  for (auto& [nome, v] : impl_->variaveis) v = {};
}

void TEvMacroFormula::AddVariable(const std::string& nome, double valor) {
  AddVariable(nome, valor, TFracao::DeReal(valor));
}

void TEvMacroFormula::AddVariable(const std::string& nome, Currency valor) {
  AddVariable(nome, valor.ToDouble(), TFracao(valor));
}

void TEvMacroFormula::AddVariable(const std::string& nome, double valor, const TFracao& exato) {
  if (!NomeValido(nome)) throw std::invalid_argument("Nome de variável de fórmula inválido: \"" + nome + "\".");
  auto [it, nova] = impl_->variaveis.try_emplace(nome);
  if (nova) impl_->ordem.push_back(nome);
  it->second.valor = valor;
  it->second.exato = exato;
  it->second.definida = true;
}

double TEvMacroFormula::Eval(const std::string& formula) {
  if (formula.find_first_not_of(" \t\r\n") == std::string::npos) return 0;
  Impl::Compilada& c = impl_->Compilar(formula);
  for (const auto& [nome, v] : c.usadas)
    if (!v->definida) throw EFormula(formula, impl_->NomeDesconhecido(nome));
  tDividiuPorZero = false;
  double r = 0;
  try {
    r = c.parser.Eval();
  } catch (const mu::ParserError& e) {
    throw EFormula(formula, MotivoDoParser(e));
  }
  if (tDividiuPorZero) throw EFormula(formula, "divide por zero", true);
  if (!std::isfinite(r)) throw EFormula(formula, "tem resultado que não é um número finito", true);
  return r;
}

TFracao TEvMacroFormula::Valor(const std::string& formula) {
  const double real = Eval(formula);  // every refusal of the text and of the values first
  if (formula.find_first_not_of(" \t\r\n") == std::string::npos) return TFracao();
  Impl::Compilada& c = impl_->Compilar(formula);
  if (!c.lida) {
    c.arvore = Impl::Leitor(formula, impl_->variaveis).Ler();
    c.lida = true;
  }
  if (!c.arvore) return TFracao::DeReal(real);
  try {
    const std::optional<TFracao> v = Impl::Calcular(*c.arvore, formula);
    return v ? *v : TFracao::DeReal(real);
  } catch (const EEstouroMoeda&) {
    throw EFormula(formula, "tem resultado fora do limite dos valores", true);
  }
}
