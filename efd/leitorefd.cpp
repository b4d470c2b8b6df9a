#include "efd/leitorefd.h"

#include <cctype>
#include <limits>

#include "host/base/texto.h"

namespace efd {

namespace {

bool Utf8Valido(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) return false;
    i += n;
  }
  return true;
}

std::string NumeroCampo(size_t n) { return n < 10 ? "0" + std::to_string(n) : std::to_string(n); }

// The line with a caret under the character at `coluna` (0-based, characters); long lines are
// shown in a window around it.
std::string ComCircunflexo(const std::string& linha, size_t coluna) {
  const size_t antes = 60;
  std::string trecho = linha;
  size_t pos = coluna;
  if (coluna > antes) {
    trecho = "..." + texto::Copiar(linha, coluna - antes + 1, 120);
    pos = antes + 3;
  } else if (texto::Tamanho(linha) > 120) {
    trecho = texto::Copiar(linha, 1, 120) + "...";
  }
  return "\n  " + trecho + "\n  " + std::string(pos, ' ') + "^";
}

}  // namespace

std::string Trecho(std::string_view campo) {
  const std::string t(campo);
  return texto::Tamanho(t) <= 40 ? t : texto::Copiar(t, 1, 40) + "...";
}

std::string ParaUtf8(std::string_view linha) {
  if (Utf8Valido(linha)) return std::string(linha);
  std::u32string u;
  u.reserve(linha.size());
  for (char c : linha) u.push_back(static_cast<unsigned char>(c));
  return texto::DeU32(u);
}

std::string ParaLatin1(std::string_view utf8) {
  std::string r;
  r.reserve(utf8.size());
  for (char32_t c : texto::ParaU32(utf8)) r.push_back(c < 0x100 ? static_cast<char>(c) : '?');
  return r;
}

const std::string& TRegistroEFD::Texto(size_t n) const {
  static const std::string vazio;
  return n >= 1 && n <= campos_.size() ? campos_[n - 1] : vazio;
}

void TRegistroEFD::Falhar(std::string_view problema) const {
  throw EArquivoEFD(arquivo_ + ", linha " + std::to_string(linha_) + ", registro " + Reg() + ": " +
                        std::string(problema),
                    linha_, Reg());
}

void TRegistroEFD::Falhar(size_t n, std::string_view nome, std::string_view problema) const {
  size_t coluna = 1;  // after the leading pipe
  for (size_t i = 1; i < n && i <= campos_.size(); ++i) coluna += texto::Tamanho(campos_[i - 1]) + 1;
  throw EArquivoEFD(arquivo_ + ", linha " + std::to_string(linha_) + ", registro " + Reg() + ", campo " +
                        NumeroCampo(n) + " (" + std::string(nome) + "): " + std::string(problema) +
                        ComCircunflexo(texto_, coluna),
                    linha_, Reg());
}

void TRegistroEFD::ExigirCampos(size_t n) const {
  if (campos_.size() < n)
    Falhar("o registro tem " + std::to_string(campos_.size()) + " campos; o leiaute pede pelo menos " +
           std::to_string(n));
}

Currency TRegistroEFD::Valor(size_t n, std::string_view nome) const {
  if (Texto(n).empty()) Falhar(n, nome, "valor obrigatório em branco");
  return ValorOpcional(n, nome);
}

Currency TRegistroEFD::ValorOpcional(size_t n, std::string_view nome) const {
  const std::string& t = Texto(n);
  if (t.empty()) return Currency();
  if (t[0] == '-') Falhar(n, nome, "valor negativo \"" + Trecho(t) + "\" (o leiaute não admite sinal)");
  int64_t inteiro = 0, fracao = 0;
  int casas = 0, digitos = 0;
  bool virgula = false;
  const int64_t limite = std::numeric_limits<int64_t>::max() / Currency::kEscala / 10;
  for (const char c : t) {
    if (c == ',' && !virgula) {
      virgula = true;
      continue;
    }
    if (!std::isdigit(static_cast<unsigned char>(c)))
      Falhar(n, nome, "valor inválido \"" + Trecho(t) + "\" (o leiaute pede algarismos e vírgula decimal: 1234,56)");
    ++digitos;
    const int d = c - '0';
    if (!virgula) {
      if (inteiro > limite) Falhar(n, nome, "valor grande demais \"" + Trecho(t) + "\"");
      inteiro = inteiro * 10 + d;
    } else if (++casas > 2) {
      Falhar(n, nome, "valor com mais de duas casas decimais \"" + Trecho(t) + "\"");
    } else {
      fracao = fracao * 10 + d;
    }
  }
  if (digitos == 0) Falhar(n, nome, "valor inválido \"" + Trecho(t) + "\"");
  for (int k = casas; k < 4; ++k) fracao *= 10;
  return Currency::FromRaw(inteiro * Currency::kEscala + fracao);
}

TDateTime TRegistroEFD::Data(size_t n, std::string_view nome) const {
  const std::string& t = Texto(n);
  if (t.empty()) return 0;
  bool digitos = t.size() == 8;
  for (char c : t) digitos = digitos && std::isdigit(static_cast<unsigned char>(c));
  TDateTime d = 0;
  if (!digitos || !TryEncodeDate(std::stoi(t.substr(4, 4)), std::stoi(t.substr(2, 2)), std::stoi(t.substr(0, 2)), d))
    Falhar(n, nome, "data inválida \"" + Trecho(t) + "\" (o leiaute pede ddmmaaaa)");
  return d;
}

int64_t TRegistroEFD::Inteiro(size_t n, std::string_view nome) const {
  const std::string& t = Texto(n);
  if (t.empty()) return 0;
  if (t.size() > 18) Falhar(n, nome, "número grande demais \"" + Trecho(t) + "\"");
  for (char c : t)
    if (!std::isdigit(static_cast<unsigned char>(c))) Falhar(n, nome, "número inválido \"" + Trecho(t) + "\"");
  return std::stoll(t);
}

TLeitorEFD::TLeitorEFD(std::istream& entrada, std::string arquivo, int64_t tamanho, TProgresso progresso)
    : entrada_(entrada), arquivo_(std::move(arquivo)), tamanho_(tamanho), progresso_(std::move(progresso)) {}

bool TLeitorEFD::Proximo(TRegistroEFD& r) {
  while (!encerrado_ && std::getline(entrada_, bruta_)) {
    ++linha_;
    lidos_ += static_cast<int64_t>(bruta_.size()) + 1;
    if (progresso_ && linha_ % 4096 == 0) progresso_(lidos_, tamanho_);
    if (!bruta_.empty() && bruta_.back() == '\r') bruta_.pop_back();
    if (bruta_.find_first_not_of(" \t") == std::string::npos) continue;
    for (char c : bruta_ + '\n') digesto_ = (digesto_ ^ static_cast<unsigned char>(c)) * 1099511628211ull;

    r.linha_ = linha_;
    r.arquivo_ = arquivo_;
    r.texto_ = ParaUtf8(bruta_);
    r.campos_.clear();
    const std::string& t = r.texto_;
    if (t.size() < 2 || t.front() != '|' || t.back() != '|') {
      r.campos_.push_back(t.substr(0, 4));
      throw EArquivoEFD(arquivo_ + ", linha " + std::to_string(linha_) +
                            ": a linha não começa e termina com '|' (registro corrompido ou cortado)" +
                            ComCircunflexo(t, t.empty() || t.front() != '|' ? 0 : texto::Tamanho(t) - 1),
                        linha_, r.campos_.front());
    }
    for (size_t ini = 1; ini < t.size();) {
      const size_t fim = t.find('|', ini);
      r.campos_.emplace_back(t, ini, fim - ini);
      ini = fim + 1;
    }
    const std::string& reg = r.campos_.front();
    bool nome = reg.size() == 4;
    for (char c : reg) nome = nome && std::isalnum(static_cast<unsigned char>(c));
    if (!nome) r.Falhar(1, "REG", "nome de registro inválido \"" + Trecho(reg) + "\"");
    if (reg == "9999") encerrado_ = true;
    return true;
  }
  if (progresso_) progresso_(lidos_, tamanho_);
  return false;
}

}  // namespace efd
