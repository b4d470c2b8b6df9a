// The CFOP registers answered from the run's totals of its items.
#include "apuracao/formasrapidas.h"

#include <algorithm>
#include <array>
#include <map>
#include <mutex>

#include "apuracao/sqlapuracao.h"
#include "host/banco/formasrapidas.h"

namespace {

using namespace banco;

// Which register a text is: its arguments are (zeros,) establishment, first and last day (, state).
struct TRegistroCfop {
  bool Saidas, Agrupado, ST;
};

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

std::optional<TFormaExecucao> Registro(TApuracaoEmCurso& emCurso, const TRegistroCfop& r,
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

  TFormaExecucao f;
  TTabelaMemoria& t = f.Linhas.emplace();
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
  return f;
}

}  // namespace

void RegistrarRegistrosCfop(const TTextosRegistros& textos, bool st) {
  const std::pair<const char*, TRegistroCfop> registros[] = {{textos.EntradaSufixo, {false, false, st}},
                                                             {textos.EntradaAgrupado, {false, true, st}},
                                                             {textos.SaidaSufixo, {true, false, st}},
                                                             {textos.SaidaAgrupado, {true, true, st}}};
  for (const auto& [texto, registro] : registros)
    RegistrarForma(texto, [registro](TApuracaoEmCurso& emCurso, const std::vector<std::string>& args) {
      return Registro(emCurso, registro, args);
    });
}

void RegistrarFormasRapidasApuracao() {
  static std::once_flag uma;
  std::call_once(uma, [] {
    RegistrarRegistrosCfop({kSqlRegEntradaSufixo, kSqlRegEntradaAgrupado, kSqlRegSaidaSufixo, kSqlRegSaidaAgrupado}, false);
  });
}
