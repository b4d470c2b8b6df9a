// The table of the settlement's SQL texts that the query components run in a faster form, the
// forms themselves and the run in progress that they draw on. The host knows these texts of the
// settlement by their constants: the table is the one place where a text meets its faster form.
#include "host/banco/formasrapidas.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "host/banco/motor.h"

#include "apuracao/sqlapuracao.h"
#include "host/banco/adaptadorsql.h"
#include "host/banco/conexao.h"
#include "host/banco/vincular.h"
#include "host/base/formatacao.h"
#include "regimes/subtrib/sqlsubtrib.h"

namespace banco {

namespace {

// ------------------------------------------------------------------ texts filled by Format

// A text of the settlement cut at its placeholders, to recognise it filled and read back the
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

// A text argument as Format put it: a quoted SQL literal, nothing around it.
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

// ------------------------------------------------------------------ the CFOP registers

struct TRegistroRapido {
  TModelo Modelo;
  bool Saidas, Agrupado, ST;
};

const std::vector<TRegistroRapido>& Registros() {
  static const std::vector<TRegistroRapido> r = {
      {TModelo(kSqlRegEntradaSufixo), false, false, false},   {TModelo(kSqlRegEntradaAgrupado), false, true, false},
      {TModelo(kSqlRegSaidaSufixo), true, false, false},      {TModelo(kSqlRegSaidaAgrupado), true, true, false},
      {TModelo(kSqlRegEntradaSufixoST), false, false, true},  {TModelo(kSqlRegEntradaAgrupadoST), false, true, true},
      {TModelo(kSqlRegSaidaSufixoST), true, false, true},     {TModelo(kSqlRegSaidaAgrupadoST), true, true, true},
  };
  return r;
}

// Characters of a text as SQLite counts them (substr, length): a byte below 0xC0 starts one.
size_t Caracteres(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}
std::string Inicio(const std::string& s, size_t caracteres) {
  size_t i = 0;
  for (size_t n = 0; i < s.size() && n < caracteres; ++n) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  }
  return s.substr(0, i);
}

// "DES.CFOP STARTING WITH p" as the adapter runs it: the range that lets the index serve it and the
// prefix itself.
bool ComecaCom(const std::string& codigo, const std::string& p) {
  return codigo >= p && codigo < p + "\xF4\x8F\xBF\xBF" && Inicio(codigo, Caracteres(p)) == p;
}

std::optional<TTabelaMemoria> Registro(TApuracaoEmCurso& emCurso, const TRegistroRapido& r,
                                       const std::vector<std::string>& args) {
  const size_t d = r.Agrupado ? 1 : 0;
  int64_t idFilial = 0;
  std::string inicio, fim, uf;
  if (!LerInteiro(args[d], idFilial) || !LerLiteral(args[d + 1], inicio) || !LerLiteral(args[d + 2], fim) ||
      (r.ST && !LerLiteral(args[d + 3], uf)))
    return std::nullopt;
  const std::string zeros = r.Agrupado ? args[0] : std::string();
  if (zeros.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  const TTotaisItens* itens = emCurso.Itens(r.Saidas, idFilial);
  if (!itens || !itens->Cobre(inicio, fim)) return std::nullopt;
  const auto porCfop = itens->Somar(inicio, fim, r.ST ? &uf : nullptr);
  if (!porCfop) return std::nullopt;

  // GROUP BY 1,2 ORDER BY 1: lines by CFOP, then description (a null one first), as SQLite orders
  // them; the five sums of each.
  using TChave = std::pair<std::string, std::optional<std::string>>;
  std::map<TChave, std::array<int64_t, 5>> linhas;
  bool cabe = true;
  auto somar = [&](TChave chave, const std::array<int64_t, 5>& v) {
    auto [it, novo] = linhas.try_emplace(std::move(chave), v);
    if (!novo)
      for (size_t i = 0; i < v.size(); ++i) cabe = cabe && !__builtin_add_overflow(it->second[i], v[i], &it->second[i]);
  };
  const TApuracaoEmCurso::TCfops& cfops = emCurso.Cfops();
  for (const auto& [idCfop, s] : *porCfop) {
    auto c = cfops.PorId.find(idCfop);
    if (c == cfops.PorId.end()) continue;  // the inner join drops the item
    const std::array<int64_t, 5> v =
        r.ST ? std::array<int64_t, 5>{s[siValorContabil], s[siBaseST], s[siICMSST], 0, 0}
             : std::array<int64_t, 5>{s[siValorContabil], s[siBaseICMS], s[siICMS], s[siIsentasNaoTributadas], s[siOutras]};
    if (!r.Agrupado) {
      somar({c->second.Codigo, c->second.Descricao}, v);
      continue;
    }
    // The family row(s) whose code begins with the CFOP without suffix, a point and the zeros:
    // each one found gives its description (or the item's when it has none) and counts the item.
    const std::string familia = Inicio(c->second.Codigo, 5), prefixo = familia + "." + zeros;
    bool achou = false;
    auto it = std::lower_bound(cfops.PorCodigo.begin(), cfops.PorCodigo.end(), prefixo,
                               [](const auto& e, const std::string& p) { return e.first < p; });
    for (; it != cfops.PorCodigo.end() && it->first.compare(0, prefixo.size(), prefixo) == 0; ++it) {
      if (!ComecaCom(it->first, prefixo)) continue;
      achou = true;
      somar({familia, it->second->Descricao ? it->second->Descricao : c->second.Descricao}, v);
    }
    if (!achou) somar({familia, c->second.Descricao}, v);
  }
  if (!cabe) return std::nullopt;

  TTabelaMemoria t;
  t.Campos = {"CFOP", "DESCRICAO", "VLRCONTABIL", "BASECALCULO", "IMPOSTO", "ISENTAS", "OUTRAS"};
  for (const auto& [chave, v] : linhas) {
    std::vector<TCampo::Valor> l;
    l.reserve(7);
    l.emplace_back(chave.first);
    if (chave.second) l.emplace_back(*chave.second);
    else l.emplace_back(std::monostate{});
    for (int64_t x : v) l.emplace_back(static_cast<double>(x) / 10000.0);
    t.Linhas.push_back(std::move(l));
  }
  return t;
}

// ------------------------------------------------------------------ the GNRE guides

// The guides of the text, reached from the exits of the establishment in the period: the index on
// (IDFILIAL, DATAEMISSAO) bounds the reading by the period. CROSS JOIN keeps that order; the rows
// come out in the order the text's own reading gives them (guide, then its link to the exit).
constexpr const char* kSqlGNREPorSaidas =
    "SELECT ES02_GNRE.CODIGOREC, ES02_GNRE.VENCIMENTO, ES02_GNRE.VALORGNRE, ES02_GNRE.NUMEROGNRE, ES02_GNRE.UFFAVOR,"
    " ES02_SAIDA.NUMERO, ES02_SAIDA.MODELO, ES02_SAIDA.SERIE, ES02_SAIDA.SUBSERIE, ES02_SAIDA.ESPECIE"
    " FROM ES02_SAIDA"
    " CROSS JOIN ES02_SAIDASPINF ON (ES02_SAIDASPINF.IDSAIDA = ES02_SAIDA.IDSAIDA)"
    " CROSS JOIN ES02_GNRES ON (ES02_GNRES.IDSAIDASPINF = ES02_SAIDASPINF.IDSAIDASPINF)"
    " CROSS JOIN ES02_GNRE ON (ES02_GNRE.IDGNRE = ES02_GNRES.IDGNRE)"
    " WHERE ES02_SAIDA.IDFILIAL = %0:s AND ES02_SAIDA.DATAEMISSAO BETWEEN %1:s AND %2:s"
    " AND ES02_GNRE.IDFILIAL = %0:s AND ES02_GNRE.IMPOSTO = %3:s"
    " ORDER BY ES02_GNRE.IDGNRE, ES02_GNRES.IDGNRES";

const TModelo& ModeloGNRE() {
  static const TModelo m(kSqlGNRE);
  return m;
}

std::optional<std::string> GNRE(TApuracaoEmCurso& emCurso, const std::vector<std::string>& args) {
  int64_t idFilial = 0;
  std::string inicio, fim, imposto;
  if (!LerInteiro(args[0], idFilial) || !LerLiteral(args[1], inicio) || !LerLiteral(args[2], fim) ||
      !LerLiteral(args[3], imposto))
    return std::nullopt;
  if (!emCurso.GuiasSoDoEstabelecimento(idFilial, imposto)) return std::nullopt;
  return Format(kSqlGNREPorSaidas, args);
}

}  // namespace

// ------------------------------------------------------------------ the table

TFormaExecucao FormaDeExecucao(TQDConnection& conexao, const std::string& sql) {
  TFormaExecucao f;
  if (TApuracaoEmCurso* emCurso = conexao.ApuracaoEmCurso()) {
    for (const TRegistroRapido& r : Registros()) {
      if (auto args = r.Modelo.Argumentos(sql)) {
        if ((f.Linhas = Registro(*emCurso, r, *args))) return f;
        break;
      }
    }
    if (auto args = ModeloGNRE().Argumentos(sql))
      if (auto rapida = GNRE(*emCurso, *args)) {
        f.Sql = std::move(*rapida);
        return f;
      }
  }
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
  guias_.clear();
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

bool TApuracaoEmCurso::GuiasSoDoEstabelecimento(int64_t idFilial, const std::string& imposto) {
  Conferir();
  auto [it, novo] = guias_.try_emplace({idFilial, imposto}, false);
  if (novo) {
    banco::TComando q(conexao_.Db(),
                        "SELECT 1 FROM ES02_GNRE G"
                        " JOIN ES02_GNRES GS ON (GS.IDGNRE = G.IDGNRE)"
                        " JOIN ES02_SAIDASPINF P ON (P.IDSAIDASPINF = GS.IDSAIDASPINF)"
                        " JOIN ES02_SAIDA S ON (S.IDSAIDA = P.IDSAIDA)"
                        " WHERE G.IDFILIAL = ?1 AND G.IMPOSTO = ?2 AND S.IDFILIAL IS NOT ?1 LIMIT 1");
    Vincular(q, idFilial, imposto);
    it->second = !q.executeStep();
  }
  return it->second;
}

}  // namespace banco
