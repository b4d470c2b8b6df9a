// The registry of faster forms: texts recognised filled by Format, their arguments read back for
// the form; and the run in progress that the forms draw on. The host knows no text here: each
// module registers the forms of its own texts.
#include "host/banco/formasrapidas.h"

#include <algorithm>
#include <charconv>
#include <mutex>
#include <string_view>
#include <stdexcept>

#include "host/banco/motor.h"

#include "host/banco/adaptadorsql.h"
#include "host/banco/conexao.h"
#include "host/banco/vincular.h"
#include "host/base/formatacao.h"

namespace banco {

namespace {

// ------------------------------------------------------------------ texts filled by Format

// A text cut at its placeholders, to recognise it filled and read back the
// arguments it was filled with.
class TModelo {
 public:
  explicit TModelo(const char* texto) : texto_(texto) {
    std::string pedaco;
    size_t proximo = 0;
    for (const char* p = texto; *p; ++p) {
      if (*p != '%') { pedaco.push_back(*p); continue; }
      if (*++p == '%') { pedaco.push_back('%'); continue; }
      size_t n = 0;
      const char* q = p;
      while (*q >= '0' && *q <= '9') n = n * 10 + static_cast<size_t>(*q++ - '0');
      if (*q == ':' && q > p) { proximo = n; p = q + 1; }
      if (*p != 's' && *p != 'd') throw std::logic_error("Diretiva de Format não prevista num texto da tabela");
      pedacos_.push_back(std::move(pedaco));
      pedaco.clear();
      indices_.push_back(proximo);
      qtde_ = std::max(qtde_, ++proximo);
    }
    pedacos_.push_back(std::move(pedaco));
  }

  std::string_view Texto() const { return texto_; }

  // The arguments, when `sql` is this text filled by Format.
  std::optional<std::vector<std::string>> Argumentos(const std::string& sql) const {
    if (sql.compare(0, pedacos_[0].size(), pedacos_[0]) != 0) return std::nullopt;
    std::vector<std::string> args(qtde_);
    size_t pos = pedacos_[0].size();
    for (size_t k = 0; k < indices_.size(); ++k) {
      const std::string& seguinte = pedacos_[k + 1];
      size_t fim = sql.size();
      if (k + 1 < indices_.size() || !seguinte.empty()) {
        fim = sql.find(seguinte, pos);
        if (fim == std::string::npos) return std::nullopt;
      }
      args[indices_[k]] = sql.substr(pos, fim - pos);
      pos = fim + seguinte.size();
    }
    // Read back, the arguments must give the very text.
    if (pos != sql.size() || Format(texto_, args) != sql) return std::nullopt;
    return args;
  }

 private:
  const char* texto_;
  std::vector<std::string> pedacos_;  // one more than the placeholders
  std::vector<size_t> indices_;       // the argument of each placeholder
  size_t qtde_ = 0;
};

}  // namespace

bool LerLiteral(const std::string& a, std::string& valor) {
  if (a.size() < 2 || a.front() != '\'' || a.back() != '\'') return false;
  valor.clear();
  for (size_t i = 1; i + 1 < a.size(); ++i) {
    if (a[i] == '\'') {
      if (a[i + 1] != '\'' || i + 2 >= a.size()) return false;
      ++i;
    }
    valor.push_back(a[i]);
  }
  return true;
}

bool LerInteiro(const std::string& a, int64_t& valor) {
  auto [fim, erro] = std::from_chars(a.data(), a.data() + a.size(), valor);
  return erro == std::errc() && fim == a.data() + a.size() && !a.empty() && a[0] != '+';
}

// ------------------------------------------------------------------ the registry

namespace {

struct TRegistrada {
  TModelo Modelo;
  TFormaRapida Forma;
};

// The forms, in the order registered. Registered once by their modules before any run; looked up by
// every query.
std::mutex& Trava() {
  static std::mutex m;
  return m;
}
std::vector<std::unique_ptr<TRegistrada>>& Registradas() {
  static std::vector<std::unique_ptr<TRegistrada>> r;
  return r;
}

}  // namespace

void RegistrarForma(const char* texto, TFormaRapida forma) {
  std::lock_guard<std::mutex> trava(Trava());
  for (const auto& r : Registradas())
    if (r->Modelo.Texto() == std::string_view(texto)) return;
  Registradas().push_back(std::make_unique<TRegistrada>(TRegistrada{TModelo(texto), std::move(forma)}));
}

TFormaExecucao FormaDeExecucao(TQDConnection& conexao, const std::string& sql) {
  if (TApuracaoEmCurso* emCurso = conexao.ApuracaoEmCurso()) {
    const TRegistrada* achada = nullptr;
    std::optional<std::vector<std::string>> args;
    {
      std::lock_guard<std::mutex> trava(Trava());
      for (const auto& r : Registradas())
        if ((args = r->Modelo.Argumentos(sql))) {
          achada = r.get();
          break;
        }
    }
    if (achada)
      if (auto f = achada->Forma(*emCurso, *args)) return std::move(*f);
  }
  TFormaExecucao f;
  f.Sql = AdaptarSQL(sql);
  return f;
}

// ------------------------------------------------------------------ the run in progress

TApuracaoEmCurso::TApuracaoEmCurso(TQDConnection& conexao)
    : conexao_(conexao), externa_(conexao.apuracaoEmCurso_ == nullptr) {
  if (!externa_) return;
  versao_ = VersaoDados();
  conexao_.apuracaoEmCurso_ = this;
}

TApuracaoEmCurso::~TApuracaoEmCurso() {
  if (externa_) conexao_.apuracaoEmCurso_ = nullptr;
}

int64_t TApuracaoEmCurso::VersaoDados() {
  return conexao_.Db().VersaoDados();
}

void TApuracaoEmCurso::Conferir() {
  const int64_t v = VersaoDados();
  if (v == versao_) return;
  versao_ = v;
  itens_[0].reset();
  itens_[1].reset();
  cfops_.reset();
  memoria_.clear();
}

void TApuracaoEmCurso::GuardarItens(TTotaisItens totais) {
  if (!externa_) return conexao_.apuracaoEmCurso_->GuardarItens(std::move(totais));
  Conferir();
  itens_[totais.Saidas() ? 1 : 0] = std::move(totais);
}

const TTotaisItens* TApuracaoEmCurso::Itens(bool saidas, int64_t idFilial) {
  Conferir();
  const auto& t = itens_[saidas ? 1 : 0];
  return t && t->IdFilial() == idFilial && t->Utilizavel() ? &*t : nullptr;
}

const TApuracaoEmCurso::TCfops& TApuracaoEmCurso::Cfops() {
  Conferir();
  if (cfops_) return *cfops_;
  auto c = std::make_unique<TCfops>();
  banco::TComando q(conexao_.Db(), "SELECT IDCFOP, CFOP, DESCRICAO FROM ES02_CFOP");
  while (q.executeStep()) {
    if (!q.getColumn(0).isInteger()) continue;
    TCfop cfop{q.getColumn(1).getString(), std::nullopt};
    if (!q.getColumn(2).isNull()) cfop.Descricao = q.getColumn(2).getString();
    c->PorId.emplace(q.getColumn(0).getInt64(), std::move(cfop));
  }
  for (const auto& [id, cfop] : c->PorId) c->PorCodigo.emplace_back(cfop.Codigo, &cfop);
  std::sort(c->PorCodigo.begin(), c->PorCodigo.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  cfops_ = std::move(c);
  return *cfops_;
}

std::any& TApuracaoEmCurso::Memoria(const std::string& chave) {
  Conferir();
  return memoria_[chave];
}

}  // namespace banco
