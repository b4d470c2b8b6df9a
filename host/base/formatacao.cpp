#include "host/base/formatacao.h"

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <stdexcept>

#include "host/base/texto.h"

std::string Format(std::string_view f, const std::vector<std::string>& args) {
  std::string r;
  size_t proximo = 0;
  auto erro = [&](const char* motivo) {
    return std::invalid_argument(std::string("Format: ") + motivo + " em \"" + std::string(f.substr(0, 80)) + "\"");
  };
  for (size_t i = 0; i < f.size(); ++i) {
    if (f[i] != '%') { r.push_back(f[i]); continue; }
    if (++i >= f.size()) throw erro("diretiva incompleta");
    if (f[i] == '%') { r.push_back('%'); continue; }
    size_t inicio = i;
    while (i < f.size() && std::isdigit(static_cast<unsigned char>(f[i]))) ++i;
    if (i < f.size() && f[i] == ':' && i > inicio) {
      proximo = std::stoul(std::string(f.substr(inicio, i - inicio)));
      ++i;
    } else {
      i = inicio;
    }
    bool esquerda = false;
    if (i < f.size() && f[i] == '-') { esquerda = true; ++i; }
    size_t largura = 0;
    while (i < f.size() && std::isdigit(static_cast<unsigned char>(f[i]))) largura = largura * 10 + static_cast<size_t>(f[i++] - '0');
    if (i >= f.size() || (f[i] != 's' && f[i] != 'd')) throw erro("diretiva desconhecida");
    if (proximo >= args.size()) throw erro("argumento ausente");
    const std::string& a = args[proximo++];
    r += esquerda ? texto::PreencherDireita(a, largura) : texto::PreencherEsquerda(a, largura);
  }
  return r;
}

std::string FormatarValor(Currency valor) {
  Currency c = ArredondarMoeda(valor, 2);
  int64_t centavos = c.Raw() / 100;
  bool negativo = centavos < 0;
  if (negativo) centavos = -centavos;
  std::string inteiro = std::to_string(centavos / 100);
  std::string agrupado;
  for (size_t k = 0; k < inteiro.size(); ++k) {
    if (k > 0 && (inteiro.size() - k) % 3 == 0) agrupado.push_back('.');
    agrupado.push_back(inteiro[k]);
  }
  int64_t cents = centavos % 100;
  std::string r = (negativo ? "-" : "") + agrupado + "," + (cents < 10 ? "0" : "") + std::to_string(cents);
  return r;
}

std::string FormatarFixo(Currency valor, int casas) {
  const int64_t raw = ArredondarMoeda(valor, casas).Raw();
  const uint64_t abs = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  std::string fracao = std::to_string(abs % 10000);
  fracao.insert(0, 4 - fracao.size(), '0');
  const std::string r = std::to_string(abs / 10000) + (casas > 0 ? "," + fracao.substr(0, static_cast<size_t>(casas)) : "");
  return (raw < 0 ? "-" : "") + r;
}

std::string FormatarValorGuia(Currency valor) { return texto::PreencherEsquerda(FormatarValor(valor), 15); }

bool TentarLerValor(std::string_view t, Currency& resultado) {
  std::string s = texto::Aparar(t);
  if (s.empty()) return false;
  bool temVirgula = s.find(',') != std::string::npos;
  std::string limpo;
  for (char c : s) {
    if (temVirgula && c == '.') continue;
    limpo.push_back(temVirgula && c == ',' ? '.' : c);
  }
  char* fim = nullptr;
  double v = std::strtod(limpo.c_str(), &fim);
  if (fim == limpo.c_str() || *fim != '\0') return false;
  resultado = Currency::FromDouble(v);
  return true;
}

int32_t InteiroOuZero(std::string_view t) {
  const std::string s = texto::Aparar(t);
  int32_t v = 0;
  const char* inicio = s.c_str() + (!s.empty() && s[0] == '+' ? 1 : 0);
  if (inicio != s.c_str() && (*inicio < '0' || *inicio > '9')) return 0;  // "+-5", "+"
  const auto [fim, erro] = std::from_chars(inicio, s.c_str() + s.size(), v);
  return erro == std::errc() && fim == s.c_str() + s.size() && fim != inicio ? v : 0;
}

std::string FormatarMascara(const std::string& mascara, const std::string& valor) {
  const std::u32string m = texto::ParaU32(mascara.substr(0, mascara.find(';')));
  const std::u32string v = texto::ParaU32(valor);
  std::u32string r;
  size_t k = 0;
  for (char32_t c : m) {
    if (c == U'#') r.push_back(k < v.size() ? v[k++] : U'_');
    else r.push_back(c);
  }
  return texto::DeU32(r);
}

std::string FormatarZeros(int64_t numero, size_t largura) {
  std::string s = std::to_string(numero);
  return s.size() < largura ? std::string(largura - s.size(), '0') + s : s;
}

std::string FormatarDecimal(Currency valor) {
  const int64_t raw = valor.Raw();
  const uint64_t abs = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
  std::string r = std::to_string(abs / 10000);
  std::string fracao = std::to_string(abs % 10000);
  fracao.insert(0, 4 - fracao.size(), '0');
  while (!fracao.empty() && fracao.back() == '0') fracao.pop_back();
  if (!fracao.empty()) r += "." + fracao;
  return (raw < 0 ? "-" : "") + r;
}
