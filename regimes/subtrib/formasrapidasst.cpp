// The GNRE guides of the book, read once for the run's interval.
#include "regimes/subtrib/formasrapidasst.h"

#include <algorithm>
#include <mutex>

#include "host/banco/motor.h"

#include "apuracao/formasrapidas.h"
#include "host/banco/conexao.h"
#include "host/banco/formasrapidas.h"
#include "host/banco/vincular.h"
#include "regimes/subtrib/sqlsubtrib.h"

namespace {

using namespace banco;

// The guides of the text over an interval, each with its exit's date last (that column is not shown):
// the establishment's guides of the tax through the index on (IDFILIAL, IMPOSTO), then their links,
// exits and the exits' dates. CROSS JOIN keeps that order; the rows come out in the order the text's
// own reading gives them (guide, then its link to the exit).
constexpr const char* kSqlGNREDoIntervalo =
    "SELECT ES02_GNRE.CODIGOREC, ES02_GNRE.VENCIMENTO, ES02_GNRE.VALORGNRE, ES02_GNRE.NUMEROGNRE, ES02_GNRE.UFFAVOR,"
    " ES02_SAIDA.NUMERO, ES02_SAIDA.MODELO, ES02_SAIDA.SERIE, ES02_SAIDA.SUBSERIE, ES02_SAIDA.ESPECIE,"
    " ES02_SAIDA.DATAEMISSAO"
    " FROM ES02_GNRE"
    " CROSS JOIN ES02_GNRES ON (ES02_GNRES.IDGNRE = ES02_GNRE.IDGNRE)"
    " CROSS JOIN ES02_SAIDASPINF ON (ES02_SAIDASPINF.IDSAIDASPINF = ES02_GNRES.IDSAIDASPINF)"
    " CROSS JOIN ES02_SAIDA ON (ES02_SAIDA.IDSAIDA = ES02_SAIDASPINF.IDSAIDA)"
    " WHERE ES02_GNRE.IDFILIAL = ?1 AND ES02_GNRE.IMPOSTO = ?4 AND ES02_SAIDA.DATAEMISSAO BETWEEN ?2 AND ?3"
    " ORDER BY ES02_GNRE.IDGNRE, ES02_GNRES.IDGNRES";

// The guides of the interval, each row with its exit's date. The dates fell between two date texts,
// so they are texts: compared in memory as the database compares them. A period's rows are handed
// over, not copied; the intervals already handed over are kept, and a period that meets one of them
// runs the text as written.
struct TGuiasIntervalo {
  std::vector<std::string> Campos;
  std::vector<std::pair<std::string, std::vector<TCampo::Valor>>> Linhas;
  std::vector<std::pair<std::string, std::string>> Entregues;
};

TGuiasIntervalo LerGuias(TQDConnection& c, int64_t idFilial, const std::string& inicio, const std::string& fim,
                         const std::string& imposto) {
  banco::TComando q(c.Db(), kSqlGNREDoIntervalo);
  Vincular(q, idFilial, inicio, fim, imposto);
  const int colunas = q.getColumnCount() - 1;
  TGuiasIntervalo g;
  for (int i = 0; i < colunas; ++i) g.Campos.emplace_back(q.getColumnName(i));
  while (q.executeStep()) {
    std::vector<TCampo::Valor> linha;
    linha.reserve(static_cast<size_t>(colunas));
    for (int i = 0; i < colunas; ++i) linha.push_back(LerColuna(q.getColumn(i)));
    g.Linhas.emplace_back(q.getColumn(colunas).getString(), std::move(linha));
  }
  return g;
}

std::optional<TFormaExecucao> GNRE(TApuracaoEmCurso& emCurso, const std::vector<std::string>& args) {
  int64_t idFilial = 0;
  std::string inicio, fim, imposto;
  if (!LerInteiro(args[0], idFilial) || !LerLiteral(args[1], inicio) || !LerLiteral(args[2], fim) ||
      !LerLiteral(args[3], imposto))
    return std::nullopt;
  // Within the interval of the exits the run read, that whole interval's guides are read once for
  // all its periods; otherwise the period's own.
  const TTotaisItens* saidas = emCurso.Itens(true, idFilial);
  const bool doIntervalo = saidas && saidas->Cobre(inicio, fim);
  const std::string& de = doIntervalo ? saidas->Inicio() : inicio;
  const std::string& ate = doIntervalo ? saidas->Fim() : fim;
  std::any& m = emCurso.Memoria("GNRE " + std::to_string(idFilial) + " " + imposto + " " + de + " " + ate);
  if (!m.has_value()) m = LerGuias(emCurso.Conexao(), idFilial, de, ate, imposto);
  auto& guias = std::any_cast<TGuiasIntervalo&>(m);
  if (std::any_of(guias.Entregues.begin(), guias.Entregues.end(),
                  [&](const auto& e) { return e.first <= fim && inicio <= e.second; }))
    return std::nullopt;
  guias.Entregues.emplace_back(inicio, fim);
  TFormaExecucao f;
  TTabelaMemoria& t = f.Linhas.emplace();
  t.Campos = guias.Campos;
  for (auto& [data, linha] : guias.Linhas)
    if (inicio <= data && data <= fim) t.Linhas.push_back(std::move(linha));
  return f;
}

}  // namespace

void RegistrarFormasRapidasST() {
  static std::once_flag uma;
  std::call_once(uma, [] {
    RegistrarRegistrosCfop({kSqlRegEntradaSufixoST, kSqlRegEntradaAgrupadoST, kSqlRegSaidaSufixoST, kSqlRegSaidaAgrupadoST},
                           true);
    RegistrarForma(kSqlGNRE, GNRE);
  });
}
