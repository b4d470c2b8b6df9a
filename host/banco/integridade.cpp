#include "host/banco/integridade.h"

#include <iterator>

#include <SQLiteCpp/Statement.h>

#include "host/banco/vincular.h"
#include "host/servicos/tipos.h"

namespace integridade {

namespace {

// Problems listed in a refusal; one more is read to know that there are others.
constexpr size_t kMaximoListado = 20;
constexpr const char* kLimite = " LIMIT 21";

std::string NaoNumerico(const std::string& coluna) { return "typeof(" + coluna + ") NOT IN ('integer', 'real')"; }

std::string Linha(const char* tabela, const char* chave, int64_t id, const std::string& problema) {
  return std::string(tabela) + " " + chave + " " + std::to_string(id) + ": " + problema;
}

std::string Citado(const SQLite::Column& c) { return "'" + c.getString() + "'"; }

// Runs a check query and turns each row into problem texts.
template <class... A, class F>
void Verificar(SQLite::Database& db, const std::string& sql, std::vector<std::string>& problemas, F&& descrever,
               const A&... parametros) {
  try {
    SQLite::Statement q(db, sql);
    if constexpr (sizeof...(A) > 0) banco::Vincular(q, parametros...);
    while (q.executeStep()) problemas.push_back(descrever(q));
  } catch (const SQLite::Exception& e) {
    LancarErroBanco(e, std::string("Verificação dos dados da apuração: ") + e.what());
  }
}

// The value columns of a document item that the registers, the ICMS-ST registers and the host's
// credit calculations add up.
const char* const kValoresItem[] = {"VLRCONTABIL", "BCICMS", "ICMS", "ISENTASICMS", "NTICMS", "OUTRASICMS", "BCICMSST", "ICMSST"};

struct TItens {
  const char* Documento;
  const char* Item;
  const char* ChaveDocumento;
  const char* ChaveItem;
  const char* Data;  // the date that decides the period
};
const TItens kItens[] = {{"ES02_ENTRADA", "ES02_ENTRADADET", "IDENTRADA", "IDENTRADADET", "DATAENTRADA"},
                         {"ES02_SAIDA", "ES02_SAIDADET", "IDSAIDA", "IDSAIDADET", "DATAEMISSAO"}};

void VerificarItens(SQLite::Database& db, const TItens& t, int64_t idFilial, const std::string& ini,
                    const std::string& fim, std::vector<std::string>& problemas) {
  std::string colunas, condicao = "C.IDCFOP IS NULL";
  for (const char* v : kValoresItem) {
    colunas += std::string(", D.") + v;
    condicao += " OR " + NaoNumerico(std::string("D.") + v);
  }
  const std::string sql = std::string("SELECT D.") + t.ChaveItem + ", D.IDCFOP, C.IDCFOP IS NULL" + colunas + " FROM " +
                          t.Documento + " S JOIN " + t.Item + " D ON (D." + t.ChaveDocumento + " = S." + t.ChaveDocumento +
                          ") LEFT JOIN ES02_CFOP C ON (C.IDCFOP = D.IDCFOP) WHERE S.IDFILIAL = ?1 AND S." + t.Data +
                          " BETWEEN ?2 AND ?3 AND (" + condicao + ") ORDER BY D." + t.ChaveItem + kLimite;
  Verificar(db, sql, problemas, [&](SQLite::Statement& q) {
    std::string motivo;
    auto juntar = [&](const std::string& m) { motivo += (motivo.empty() ? "" : "; ") + m; };
    if (q.getColumn(2).getInt())
      juntar("IDCFOP " + q.getColumn(1).getString() + " não existe em ES02_CFOP (o item sumiria do registro e do imposto)");
    for (int i = 0; i < static_cast<int>(std::size(kValoresItem)); ++i) {
      const SQLite::Column c = q.getColumn(3 + i);
      if (!c.isInteger() && !c.isFloat()) juntar(std::string(kValoresItem[i]) + " " + Citado(c) + " não é um número");
    }
    return Linha(t.Item, t.ChaveItem, q.getColumn(0).getInt64(), motivo);
  }, idFilial, ini, fim);
}

}  // namespace

std::vector<std::string> CfopsInvalidos(SQLite::Database& db) {
  std::vector<std::string> problemas;
  Verificar(db,
            "SELECT IDCFOP, CFOP,"
            "       NOT (CFOP GLOB '[0-9].[0-9][0-9][0-9]' OR CFOP GLOB '[0-9].[0-9][0-9][0-9].[0-9][0-9][0-9]'),"
            "       (SELECT COUNT(*) FROM ES02_CFOP O WHERE trim(O.CFOP) = trim(C.CFOP))"
            "  FROM ES02_CFOP C"
            " WHERE NOT (CFOP GLOB '[0-9].[0-9][0-9][0-9]' OR CFOP GLOB '[0-9].[0-9][0-9][0-9].[0-9][0-9][0-9]')"
            "    OR trim(CFOP) IN (SELECT trim(CFOP) FROM ES02_CFOP GROUP BY trim(CFOP) HAVING COUNT(*) > 1)"
            " ORDER BY trim(CFOP), IDCFOP" + std::string(kLimite),
            problemas, [](SQLite::Statement& q) {
              const std::string cfop = Citado(q.getColumn(1));
              return Linha("ES02_CFOP", "IDCFOP", q.getColumn(0).getInt64(),
                           q.getColumn(2).getInt()
                               ? "CFOP " + cfop + " fora do formato 9.999 ou 9.999.999 (sem espaços)"
                               : "CFOP " + cfop + " repetido (" + q.getColumn(3).getString() +
                                     " linhas com esse código; o registro agrupado somaria a família uma vez por linha)");
            });
  return problemas;
}

TProblemas VerificarApuracao(TQDConnection& c, const TFilial& filial, TDateTime inicio, TDateTime fim,
                             bool substituicaoTributaria) {
  SQLite::Database& db = c.Db();
  const std::string ini = DataISO(inicio), termino = DataISO(fim);
  TProblemas r;
  r.Erros = CfopsInvalidos(db);
  for (const TItens& t : kItens) VerificarItens(db, t, filial.IdFilial, ini, termino, r.Erros);
  Verificar(db,
            "SELECT IDLCTOAPUR, VALOR FROM ES02_LCTOAPUR"
            " WHERE IDFILIAL IN (SELECT IDFILIAL FROM SC00_FILIAL WHERE IDEMPRESA = ?1) AND DATA BETWEEN ?2 AND ?3"
            "   AND " + NaoNumerico("VALOR") + " ORDER BY IDLCTOAPUR" + kLimite,
            r.Erros, [](SQLite::Statement& q) {
              return Linha("ES02_LCTOAPUR", "IDLCTOAPUR", q.getColumn(0).getInt64(),
                           "VALOR " + Citado(q.getColumn(1)) + " não é um número");
            },
            filial.IdEmpresa, ini, termino);
  Verificar(db,
            "SELECT R.IDCODIGOREC, R.DIAVENCTO FROM ES02_CODIGOREC R"
            " WHERE (CAST(R.IDCODIGOREC AS TEXT) IN (SELECT INFORMACAO1 FROM ES02_CFG WHERE IDFILIAL = ?1 AND ORIGEM = 2"
            "            AND TP IN ('2', '7') AND DATAINICIO <= ?3 AND (DATAFIM IS NULL OR DATAFIM >= ?2))"
            "        OR R.IDCODIGOREC IN (SELECT IDCODIGOREC FROM HS_INSCRICAOST WHERE IDFILIAL = ?1"
            "            AND DATAINICIO <= ?3 AND (DATAFIM IS NULL OR DATAFIM >= ?2)))"
            "   AND (R.DIAVENCTO GLOB '*[^0-9]*' OR length(R.DIAVENCTO) > 5) ORDER BY R.IDCODIGOREC" + std::string(kLimite),
            r.Erros, [](SQLite::Statement& q) {
              return Linha("ES02_CODIGOREC", "IDCODIGOREC", q.getColumn(0).getInt64(),
                           "DIAVENCTO " + Citado(q.getColumn(1)) + " não é um número de dia (o vencimento sairia errado)");
            },
            filial.IdFilial, ini, termino);
  Verificar(db,
            "SELECT I.IDINSCRICAOST, I.UF FROM HS_INSCRICAOST I LEFT JOIN HS_CODIGOICMSST C ON (C.UF = I.UF)"
            " WHERE I.IDFILIAL = ?1 AND I.DATAINICIO <= ?3 AND (I.DATAFIM IS NULL OR I.DATAFIM >= ?2) AND C.UF IS NULL"
            " ORDER BY I.IDINSCRICAOST" + std::string(kLimite),
            substituicaoTributaria ? r.Erros : r.Avisos, [&](SQLite::Statement& q) {
              return Linha("HS_INSCRICAOST", "IDINSCRICAOST", q.getColumn(0).getInt64(),
                           "estado " + Citado(q.getColumn(1)) + " sem código de ICMS-ST em HS_CODIGOICMSST" +
                               (substituicaoTributaria ? " (o ICMS-ST dessa inscrição não seria apurado)"
                                                       : "; a inscrição é ignorada"));
            },
            filial.IdFilial, ini, termino);
  return r;
}

std::string Relatorio(const std::string& titulo, const std::vector<std::string>& problemas) {
  std::string r = titulo + ": o banco tem dados que dariam números errados, e nada foi gravado (invalid stored data). "
                           "Corrija estas linhas e repita a operação:";
  for (size_t i = 0; i < problemas.size() && i < kMaximoListado; ++i) r += "\n- " + problemas[i];
  if (problemas.size() > kMaximoListado) r += "\n- (e outras linhas)";
  return r;
}

int32_t DiaVencimento(const std::string& texto, int64_t idCodigoRec) {
  if (texto.size() > 5 || texto.find_first_not_of("0123456789") != std::string::npos)
    throw EDadosInvalidos(Relatorio("O código de recolhimento não pode ser usado",
                                    {Linha("ES02_CODIGOREC", "IDCODIGOREC", idCodigoRec,
                                           "DIAVENCTO '" + texto + "' não é um número de dia")}));
  return texto.empty() ? 0 : std::stoi(texto);
}

}  // namespace integridade
