// Revenue of the state regimes from the document items: per-state CFOP formulas (ES02_CFOPCFGUF)
// and services revenue. Rules in docs/servicos.md "CFOP formulas".
#include <array>
#include <stdexcept>

#include "host/banco/motor.h"

#include "host/banco/conexao.h"
#include "host/banco/integridade.h"
#include "host/banco/vincular.h"
#include "host/servicos/apuracaofuncoes.h"
#include "host/servicos/protegido.h"

namespace {

using servicos::Protegido;

// The value columns of an item a formula may name, in the order the queries select them.
constexpr std::array<const char*, 11> kColunas = {"VLRCONTABIL", "BCICMS",   "ICMS",     "ISENTASICMS",
                                                  "NTICMS",      "OUTRASICMS", "BCICMSST", "ICMSST",
                                                  "IPI",         "VLRREDUCAOBCICMS", "DIFERIDO"};

struct TLado {
  const char* documentos;
  const char* itens;
  const char* chave;
  const char* chaveItem;
  const char* data;  // the date that puts a document in a period, as the registers read it
  const char* nome;  // for messages
};
constexpr TLado kEntradas{"ES02_ENTRADA", "ES02_ENTRADADET", "IDENTRADA", "IDENTRADADET", "DATAENTRADA", "entrada"};
constexpr TLado kSaidas{"ES02_SAIDA", "ES02_SAIDADET", "IDSAIDA", "IDSAIDADET", "DATAEMISSAO", "saída"};

// The establishments of a scope, as a condition on the document D, its establishment F and the
// establishment's municipality M; ?5 is the company or establishment id, ?1 the state.
std::string CondicaoEscopo(TTipoSomaReceita tipo) {
  switch (tipo) {
    case 0: return "F.IDEMPRESA = ?5";
    case 1: return "D.IDFILIAL = ?5";
    case 2: return "F.IDEMPRESA = ?5 AND M.UF = ?1";
    default: break;
  }
  throw std::invalid_argument("Escopo de soma de receita inválido: " + std::to_string(tipo) +
                              " (0 empresa, 1 estabelecimento, 2 estabelecimentos da empresa na UF).");
}

// A CFOP with two formulas of one number would add each of its items twice, silently.
void RecusarFormulasRepetidas(TQDConnection& c, const std::string& uf, int32_t numero) {
  banco::TComando q(c.Db(),
      "SELECT COALESCE(CF.CFOP, 'de IDCFOP ' || C.IDCFOP), COUNT(*) FROM ES02_CFOPCFGUF C"
      "  LEFT JOIN ES02_CFOP CF ON (CF.IDCFOP = C.IDCFOP)"
      " WHERE C.UF = ? AND C.TP = ? GROUP BY C.IDCFOP, CF.CFOP HAVING COUNT(*) > 1 ORDER BY 1 LIMIT 1");
  banco::Vincular(q, uf, numero);
  if (q.executeStep())
    throw EDadosInvalidos("A CFOP " + q.getColumn(0).getString() + " tem " + q.getColumn(1).getString() +
                          " fórmulas " + std::to_string(numero) + " para a UF " + uf +
                          " em ES02_CFOPCFGUF; deixe uma só: cada item da CFOP seria somado uma vez por fórmula.");
}

// Sum of the formula over the items of one side. Items are read as the registers read amounts
// (to ten-thousandths); each item's value is exact (TEvMacroFormula::Valor) and so is the sum,
// so that a total is rounded to money once, by the caller.
TFracao SomarLado(TQDConnection& c, TEvMacroFormula& ev, const TFilial& f, int32_t numero, TDateTime ini, TDateTime fim,
                 TTipoSomaReceita tipo, const TLado& lado) {
  const std::string d = lado.documentos, i = lado.itens;
  std::string sql = std::string("SELECT C.FORMULA, COALESCE(CF.CFOP, 'de IDCFOP ' || I.IDCFOP), I.") + lado.chaveItem +
                    ", D.NUMERO, D." + lado.data;
  for (const char* coluna : kColunas) sql += std::string(", COALESCE(I.") + coluna + ", 0)";
  sql += " FROM " + d + " D JOIN SC00_FILIAL F ON (F.IDFILIAL = D.IDFILIAL)"
         " LEFT JOIN CA06_MUNICIPIO M ON (M.IDMUNICIPIO = F.IDMUNICIPIO)"
         " JOIN " + i + " I ON (I." + lado.chave + " = D." + lado.chave + ")"
         " JOIN ES02_CFOPCFGUF C ON (C.IDCFOP = I.IDCFOP AND C.UF = ?1 AND C.TP = ?2)"
         " LEFT JOIN ES02_CFOP CF ON (CF.IDCFOP = I.IDCFOP)"
         " WHERE " + CondicaoEscopo(tipo) + " AND D." + lado.data + " BETWEEN ?3 AND ?4";
  banco::TComando q(c.Db(), sql);
  banco::Vincular(q, f.UF, numero, DataISO(ini), DataISO(fim), tipo == 1 ? f.IdFilial : int64_t{f.IdEmpresa});

  ev.ClearVariables();
  TFracao total;
  while (q.executeStep()) {
    for (size_t k = 0; k < kColunas.size(); ++k)
      ev.AddVariable(kColunas[k], Currency::FromDouble(q.getColumn(static_cast<int>(k + 5)).getDouble()));
    try {
      total += ev.Valor(q.getColumn(0).getString());
    } catch (const EFormula& e) {
      std::string documento;
      if (e.DosValores()) {
        TDateTime data = 0;
        const std::string numeroDoc = q.getColumn(3).getString();
        documento = "item " + q.getColumn(2).getString() + " da " + lado.nome +
                    (numeroDoc.empty() ? "" : " nº " + numeroDoc) +
                    (TentarLerData(q.getColumn(4).getString(), data) ? " de " + DataBR(data) : "");
      }
      throw EFormulaCFOP(e, numero, q.getColumn(1).getString(), f.UF, documento);
    }
  }
  return total;
}

}  // namespace

TFracao TApuracaoFuncoes::CalcularValorFormulaCFOP(const TFilial& f, int32_t formula, TDateTime ini, TDateTime fim) {
  return Protegido("CalcularValorFormulaCFOP", [&] {
    RecusarFormulasRepetidas(c_, f.UF, formula);
    return SomarLado(c_, formulas_, f, formula, ini, fim, 1, kEntradas) +
           SomarLado(c_, formulas_, f, formula, ini, fim, 1, kSaidas);
  });
}

Currency TApuracaoFuncoes::GetSomaReceitaFormulaCFOPUF(const TFilial& f, int32_t formula, TDateTime ini, TDateTime fim,
                                                      TTipoSomaReceita tipo, int32_t fatorEntradas, int32_t fatorSaidas) {
  for (int32_t fator : {fatorEntradas, fatorSaidas})
    if (fator < -1 || fator > 1)
      throw std::invalid_argument("Fator de soma de receita inválido: " + std::to_string(fator) + " (use -1, 0 ou 1).");
  CondicaoEscopo(tipo);
  return Protegido("GetSomaReceitaFormulaCFOPUF", [&] {
    RecusarFormulasRepetidas(c_, f.UF, formula);
    TFracao total;
    if (fatorEntradas != 0) total += TFracao(fatorEntradas) * SomarLado(c_, formulas_, f, formula, ini, fim, tipo, kEntradas);
    if (fatorSaidas != 0) total += TFracao(fatorSaidas) * SomarLado(c_, formulas_, f, formula, ini, fim, tipo, kSaidas);
    return total.ParaMoeda();
  });
}

// Revenue from services is the one the RS small business counts: the service documents
// (ES02_SERVICO) of the establishment issued in the interval, their items' accounting value, each
// read to ten-thousandths and added exactly. Exits with CFOP 5.933 or 6.933 are exits: only a
// formula counts them.
Currency TApuracaoFuncoes::GetSomaReceitaServicos(const TFilial& f, TDateTime ini, TDateTime fim) {
  return Protegido("GetSomaReceitaServicos", [&] {
    banco::TComando q(c_.Db(),
        "SELECT COALESCE(I.VLRCONTABIL, 0) FROM ES02_SERVICO D"
        "  JOIN ES02_SERVICODET I ON (I.IDSERVICO = D.IDSERVICO)"
        " WHERE D.IDFILIAL = ? AND D.DATAEMISSAO BETWEEN ? AND ?");
    banco::Vincular(q, f.IdFilial, DataISO(ini), DataISO(fim));
    Currency total;
    while (q.executeStep()) total += Currency::FromDouble(q.getColumn(0).getDouble());
    return total;
  });
}
