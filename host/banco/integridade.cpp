#include "host/banco/integridade.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <iterator>
#include <set>
#include <string_view>
#include <unordered_set>

#include <sqlite3.h>
#include "host/banco/motor.h"

#include "host/banco/formasrapidas.h"
#include "host/banco/totaisitens.h"
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

std::string Citado(const banco::TColuna& c) { return "'" + c.getString() + "'"; }

// A stored date as it stands: NULL, or its text quoted.
std::string DataComoGuardada(const banco::TColuna& c) { return c.isNull() ? std::string("NULL") : Citado(c); }

// A date as the user reads it when it is one, else as stored, quoted.
std::string DataLegivel(const banco::TColuna& c) {
  if (c.isNull()) return "sem data";
  TDateTime d = 0;
  const std::string t = c.getString();
  return c.isText() && t.size() == 10 && t[4] == '-' && TentarLerData(t, d) ? DataBR(d) : "'" + t + "'";
}

// The establishment as the user knows it: its code and its company's.
constexpr const char* kSqlCodigos = "SELECT F.FILIAL, E.EMPRESA FROM SC00_FILIAL F"
                                    " LEFT JOIN SC00_EMPRESA E ON (E.IDEMPRESA = F.IDEMPRESA) WHERE F.IDFILIAL = ?1";
std::string Estabelecimento(banco::TBanco& db, int64_t idFilial) {
  banco::TComando q(db, kSqlCodigos);
  q.bind(1, static_cast<int64_t>(idFilial));
  if (!q.executeStep()) return "do estabelecimento de IDFILIAL " + std::to_string(idFilial) + " (não cadastrado)";
  return "do estabelecimento " + q.getColumn(0).getString() + " da empresa " + q.getColumn(1).getString();
}

// Runs a check query and turns each row into problem texts.
template <class... A, class F>
void Verificar(banco::TBanco& db, const std::string& sql, std::vector<std::string>& problemas, F&& descrever,
               const A&... parametros) {
  try {
    banco::TComando q(db, sql);
    if constexpr (sizeof...(A) > 0) banco::Vincular(q, parametros...);
    while (q.executeStep()) problemas.push_back(descrever(q));
  } catch (const banco::EMotor& e) {
    LancarErroBanco(e, std::string("Verificação dos dados da apuração: ") + e.what());
  }
}

// The value columns of a document item that the registers, the ICMS-ST registers and the host's
// credit calculations add up, in the order of the register sums they feed (ISENTASICMS and NTICMS
// go to one sum).
const char* const kValoresItem[] = {"VLRCONTABIL", "BCICMS", "ICMS", "ISENTASICMS", "NTICMS", "OUTRASICMS", "BCICMSST", "ICMSST"};
const banco::TSomaItem kSomaDoValor[] = {banco::siValorContabil, banco::siBaseICMS, banco::siICMS,
                                         banco::siIsentasNaoTributadas, banco::siIsentasNaoTributadas,
                                         banco::siOutras, banco::siBaseST, banco::siICMSST};

struct TItens {
  const char* Documento;
  const char* Item;
  const char* ChaveDocumento;
  const char* ChaveItem;
  const char* Data;     // the date that decides the period
  const char* FlagST;   // the item counts in the ICMS-ST registers
  bool Saidas;
  const char* Nome;     // the document as the user calls it
  const char* NomeData;
};
const TItens kItens[] = {{"ES02_ENTRADA", "ES02_ENTRADADET", "IDENTRADA", "IDENTRADADET", "DATAENTRADA", "CREDITOST", false,
                          "Entrada", "data de entrada"},
                         {"ES02_SAIDA", "ES02_SAIDADET", "IDSAIDA", "IDSAIDADET", "DATAEMISSAO", "DEBITOST", true,
                          "Saída", "data de emissão"}};

// A date column holds a date: 'YYYY-MM-DD' text of a day that exists (date() with a modifier
// carries 30 February into March, so that day fails the comparison; it gives NULL for a month 13 or
// a day 0, hence IS). Anything else ('2026-1-2', '02/01/2026', a time after the day, 20260102, '',
// NULL, '2026-13-01') compares as text outside every period's BETWEEN and the document would
// vanish from the tax without a word.
std::string DataInvalida(const std::string& c) {
  // date() only for the days 29 to 31 and what is not plainly a month and a day: it costs more
  // than the rest of the reading of the index.
  return "NOT (typeof(" + c + ") = 'text' AND length(" + c + ") = 10 AND " + c +
         " GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]' AND CASE WHEN substr(" + c + ", 6, 5) BETWEEN '01-01' AND"
         " '12-28' AND substr(" + c + ", 9, 2) BETWEEN '01' AND '28' THEN 1 = 1 ELSE coalesce(date(" + c + ", '+0 days') = " + c + ", 1 = 0) END)";
}

// "Saída nº 12 série 1 de 05/01/2026 do estabelecimento 2 da empresa 1": the document as the user
// finds it in the host's screens, read by the key of the document or of one of its items.
std::string Documento(banco::TBanco& db, const TItens& t, bool porItem, int64_t id) {
  const std::string sql = std::string("SELECT S.NUMERO, S.SERIE, S.") + t.Data + ", S.IDFILIAL FROM " + t.Documento + " S" +
                          (porItem ? std::string(" JOIN ") + t.Item + " D ON (D." + t.ChaveDocumento + " = S." +
                                         t.ChaveDocumento + ") WHERE D." + t.ChaveItem + " = ?1"
                                   : std::string(" WHERE S.") + t.ChaveDocumento + " = ?1");
  banco::TComando q(db, sql);
  q.bind(1, static_cast<int64_t>(id));
  if (!q.executeStep()) return std::string(t.Nome) + " inexistente";
  const banco::TColuna serie = q.getColumn(1);
  return std::string(t.Nome) + " nº " + (q.getColumn(0).isNull() ? std::string("(sem número)") : q.getColumn(0).getString()) +
         (serie.isNull() || serie.getString().empty() ? std::string(" sem série") : " série " + serie.getString()) + " de " +
         DataLegivel(q.getColumn(2)) + " " + Estabelecimento(db, q.getColumn(3).getInt64());
}

// A statement stepped through the C interface: the items are read by the million, and every column
// read through the wrapper's objects costs more than the reading itself.
class TLeitura {
 public:
  TLeitura(banco::TBanco& db, const std::string& sql) {
    if (db.Dialeto() != banco::TDialeto::SQLite) {
      outro_ = std::make_unique<banco::TComando>(db, sql);
      return;
    }
    db_ = db.getHandle();
    Verificar(sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &st_, nullptr));
  }
  // A statement calling an SQL function of the program: `registrar` registers it on the connection
  // when the connection does not know it yet.
  template <class F>
  TLeitura(banco::TBanco& db, const std::string& sql, F registrar) : db_(db.getHandle()) {
    int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &st_, nullptr);
    if (rc == SQLITE_ERROR && std::string_view(sqlite3_errmsg(db_)).starts_with("no such function")) {
      Verificar(registrar());
      rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &st_, nullptr);
    }
    Verificar(rc);
  }
  ~TLeitura() { sqlite3_finalize(st_); }
  TLeitura(const TLeitura&) = delete;
  TLeitura& operator=(const TLeitura&) = delete;
  void Vincular(int i, int64_t v) { outro_ ? outro_->bind(i, v) : Verificar(sqlite3_bind_int64(st_, i, v)); }
  void Vincular(int i, const std::string& v) {
    if (outro_) return outro_->bind(i, v);
    Verificar(sqlite3_bind_text(st_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT));
  }
  void Vincular(int i, void* p, const char* tipo) { Verificar(sqlite3_bind_pointer(st_, i, p, tipo, nullptr)); }
  bool Proxima() {
    if (outro_) return outro_->executeStep();
    const int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) Verificar(rc);
    return false;
  }
  int Tipo(int i) const { return outro_ ? static_cast<int>(outro_->getColumn(i).getType()) : sqlite3_column_type(st_, i); }
  int64_t Inteiro(int i) const { return outro_ ? outro_->getColumn(i).getInt64() : sqlite3_column_int64(st_, i); }
  // A stored date as it stands: NULL, or its text quoted.
  std::string DataComoGuardada(int i) const {
    if (Tipo(i) == SQLITE_NULL) return "NULL";
    if (outro_) return "'" + outro_->getColumn(i).getString() + "'";
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st_, i));
    return "'" + std::string(t, static_cast<size_t>(sqlite3_column_bytes(st_, i))) + "'";
  }

 private:
  void Verificar(int rc) const {
    if (rc != SQLITE_OK) throw banco::EMotor(sqlite3_errmsg(db_), rc, (rc & 0xff) == SQLITE_BUSY);
  }
  sqlite3* db_ = nullptr;
  sqlite3_stmt* st_ = nullptr;
  std::unique_ptr<banco::TComando> outro_;
  mutable std::string textos_[16];
};

std::unordered_set<int64_t> IdsCfop(banco::TBanco& db) {
  std::unordered_set<int64_t> ids;
  try {
    TLeitura q(db, "SELECT IDCFOP FROM ES02_CFOP");
    while (q.Proxima())
      if (q.Tipo(0) == SQLITE_INTEGER) ids.insert(q.Inteiro(0));
  } catch (const banco::EMotor& e) {
    LancarErroBanco(e, std::string("Verificação dos dados da apuração: ") + e.what());
  }
  return ids;
}

// Problems found out of order, kept as a max-heap on the id so that only the lowest
// kMaximoListado + 1 stay, as an ORDER BY id LIMIT would list them.
class TMenores {
 public:
  bool Cabe(int64_t id) const { return v_.size() < kLimiteAchados || id < v_.front().first; }
  void Acrescentar(int64_t id, std::string motivo) {
    if (!Cabe(id)) return;
    if (v_.size() == kLimiteAchados) {
      std::pop_heap(v_.begin(), v_.end(), Maior);
      v_.pop_back();
    }
    v_.emplace_back(id, std::move(motivo));
    std::push_heap(v_.begin(), v_.end(), Maior);
  }
  std::vector<std::pair<int64_t, std::string>> Ordenados() && {
    std::sort(v_.begin(), v_.end());
    return std::move(v_);
  }

 private:
  static constexpr size_t kLimiteAchados = kMaximoListado + 1;
  static bool Maior(const std::pair<int64_t, std::string>& x, const std::pair<int64_t, std::string>& y) {
    return x.first < y.first;
  }
  std::vector<std::pair<int64_t, std::string>> v_;
};

// DataInvalida's test the other way round, for a date the reading of the items meets: the same
// pattern, the same days taken without date() (the 1st to the 28th of the months 01 to 12), and
// for the others the days of the calendar, which are the ones date() gives back unchanged. Like
// the SQL functions, length() and GLOB stop at a NUL the text may hold; the comparison with what
// date() gives does not.
bool EhData(int tipo, std::string_view texto) {
  if (tipo != SQLITE_TEXT) return false;
  const char* z = texto.data();
  if (!z || texto.size() < 10 || std::strlen(z) != 10) return false;
  for (int i = 0; i < 10; ++i)
    if (i == 4 || i == 7 ? z[i] != '-' : z[i] < '0' || z[i] > '9') return false;
  auto numero = [&](int de, int n) {
    int r = 0;
    for (int i = de; i < de + n; ++i) r = r * 10 + (z[i] - '0');
    return r;
  };
  const int ano = numero(0, 4), mes = numero(5, 2), dia = numero(8, 2);
  if (mes >= 1 && mes <= 12 && dia >= 1 && dia <= 28) return true;
  if (texto.size() != 10 || mes < 1 || mes > 12 || dia < 1) return false;
  static constexpr int kDias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool bissexto = ano % 4 == 0 && (ano % 100 != 0 || ano % 400 == 0);
  return dia <= kDias[mes - 1] + (mes == 2 && bissexto ? 1 : 0);
}

// An item's row as the reading hands it over: the arguments of SQLite's aggregate, or the columns
// of another engine's statement.
struct TArgumentos {
  sqlite3_value** a;
  int Tipo(int k) const { return sqlite3_value_type(a[k]); }
  int64_t Inteiro(int k) const { return sqlite3_value_int64(a[k]); }
  double Real(int k) const { return sqlite3_value_double(a[k]); }
  std::string_view Texto(int k) const {
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(a[k]));
    return t ? std::string_view(t, static_cast<size_t>(sqlite3_value_bytes(a[k]))) : std::string_view();
  }
};

struct TColunas {
  banco::TComando& q;
  mutable std::string textos[16];
  int Tipo(int k) const { return static_cast<int>(q.getColumn(k).getType()); }
  int64_t Inteiro(int k) const { return q.getColumn(k).getInt64(); }
  double Real(int k) const { return q.getColumn(k).getDouble(); }
  std::string_view Texto(int k) const { return textos[k] = q.getColumn(k).getString(); }
};

// One side's items as the reading below hands them over, row by row, to an SQL function of the
// program (an aggregate: SQLite calls it for every row of the query without returning the row, and
// its arguments are read without the connection's lock that every column read takes).
enum { aDocumento, aData, aUF, aItem, aCfop, aST, aPrimeiroValor, kQtdeArgumentos = aPrimeiroValor + std::size(kValoresItem) };
constexpr const char* kFuncaoItens = "livro_itens_verificados";
constexpr const char* kTipoLeitura = "integridade::TLeituraItens";

// What the reading of one side's documents and items gathers: the documents whose date is not a
// date, the items' problems and, with `Totais`, the other items' totals.
struct TLeituraItens {
  const std::unordered_set<int64_t>& Cfops;
  banco::TTotaisItens* Totais;
  const char* NomeData;
  TMenores Datas, Itens;    // the documents by id (the stored date), the items by id (what is wrong)
  std::exception_ptr Erro;  // what stopped the reading
  int64_t Documento = 0;
  bool Primeiro = true;

  // An amount stored as a real, in ten-thousandths; false when it has more than four decimals, so
  // that adding the items one by one and adding the stored values first cannot round apart. A value
  // of four decimals that went through double arithmetic (516.93 + 100 is 616.9300000000001) is
  // four decimals still: only a remainder beyond that noise counts (the schema's CHECK takes the
  // same bound). `cabe` turns false when it does not fit in 64 bits.
  static bool QuatroCasas(double v, int64_t& dezMilesimos, bool& cabe) {
    const double x = v * 10000.0, r = std::round(x);
    if (std::abs(x - r) > std::max(1e-6, std::abs(v) * 1e-10)) return false;
    cabe = banco::TTotaisItens::DezMilesimosArredondados(r, dezMilesimos) && cabe;
    return true;
  }

  template <class A>
  void Linha(const A& a) {
    // A document comes with its first item (or alone, when it has none).
    const bool novo = Primeiro || a.Inteiro(aDocumento) != Documento;
    if (novo) {
      Primeiro = false;
      Documento = a.Inteiro(aDocumento);
      if (!EhData(a.Tipo(aData), a.Texto(aData)))
        Datas.Acrescentar(Documento, std::string(NomeData) + " '" + std::string(a.Texto(aData)) +
                                         "' não é uma data AAAA-MM-DD (o documento ficaria fora de todo período)");
      if (Totais) {
        const std::string_view uf = a.Tipo(aUF) == SQLITE_TEXT ? a.Texto(aUF) : std::string_view();
        Totais->Documento(a.Texto(aData), a.Tipo(aUF) == SQLITE_TEXT ? &uf : nullptr);
      }
    }
    if (a.Tipo(aItem) == SQLITE_NULL) return;
    const bool semCfop = a.Tipo(aCfop) != SQLITE_INTEGER || !Cfops.count(a.Inteiro(aCfop));
    banco::TSomasItem somas{};
    unsigned invalidos = 0, finos = 0;
    bool cabe = true;
    for (size_t i = 0; i < std::size(kValoresItem); ++i) {
      const int valor = aPrimeiroValor + static_cast<int>(i);
      int64_t v = 0;
      switch (a.Tipo(valor)) {
        case SQLITE_INTEGER: cabe = banco::TTotaisItens::DezMilesimos(a.Inteiro(valor), v) && cabe; break;
        case SQLITE_FLOAT:
          if (!QuatroCasas(a.Real(valor), v, cabe)) finos |= 1u << i;
          break;
        default: invalidos |= 1u << i; continue;
      }
      int64_t& soma = somas[static_cast<size_t>(kSomaDoValor[i])];
      cabe = !__builtin_add_overflow(soma, v, &soma) && cabe;
    }
    if (!semCfop && invalidos == 0 && finos == 0) {
      if (!Totais) return;
      if (!cabe) Totais->Invalidar();
      Totais->Adicionar(a.Inteiro(aCfop), a.Inteiro(aST) == 1, somas);
      return;
    }
    const int64_t id = a.Inteiro(aItem);
    if (!Itens.Cabe(id)) return;
    std::string motivo;
    auto juntar = [&](const std::string& m) { motivo += (motivo.empty() ? "" : "; ") + m; };
    if (semCfop)
      juntar("IDCFOP " + std::string(a.Texto(aCfop)) + " não existe em ES02_CFOP (o item sumiria do registro e do imposto)");
    for (size_t i = 0; i < std::size(kValoresItem); ++i) {
      if (invalidos & (1u << i))
        juntar(std::string(kValoresItem[i]) + " '" + std::string(a.Texto(aPrimeiroValor + static_cast<int>(i))) + "' não é um número");
      if (finos & (1u << i))
        juntar(std::string(kValoresItem[i]) + " " + std::string(a.Texto(aPrimeiroValor + static_cast<int>(i))) +
               " tem mais de quatro casas decimais (arredonde-o a quatro)");
    }
    Itens.Acrescentar(id, std::move(motivo));
  }

  static void Passo(sqlite3_context* ctx, int, sqlite3_value** a) {
    auto* leitura = static_cast<TLeituraItens*>(sqlite3_value_pointer(a[0], kTipoLeitura));
    if (!leitura) return sqlite3_result_error(ctx, "leitura de itens sem destino", -1);
    try {
      leitura->Linha(TArgumentos{a + 1});
    } catch (...) {
      leitura->Erro = std::current_exception();
      sqlite3_result_error(ctx, "leitura de itens interrompida", -1);
    }
  }
  static void Fim(sqlite3_context* ctx) { sqlite3_result_null(ctx); }
};

// The establishment's documents of the interval and their items, each once, and the dates of its
// other documents. Into `datas`, the documents whose date is not a date, whatever it holds: those
// of the interval met by the reading of the items, the others (before, after, NULL) asked of the
// index. Into `itens`, the items whose CFOP does not exist or whose amounts are not numbers or have
// more than four decimals. Each named by its document. With `totais`, the good items are added to
// the totals the registers are answered from, with the state of the document's participant (one
// lookup per document: the participant's joins come before the items).
void VerificarDocumentos(banco::TBanco& db, const TItens& t, int64_t idFilial, const std::string& ini, const std::string& fim,
                         const std::unordered_set<int64_t>& cfops, std::vector<std::string>& datas,
                         std::vector<std::string>& itens, banco::TTotaisItens* totais) {
  std::string colunas;
  for (const char* v : kValoresItem) colunas += std::string(", D.") + v;
  // The columns of a row, and where the rows come from.
  const std::string argumentos =
      std::string("S.") + t.ChaveDocumento + ", S." + t.Data + (totais ? ", M.UF, D." : ", NULL, D.") + t.ChaveItem + ", D.IDCFOP" +
      (totais ? std::string(", D.") + t.FlagST + " = 1" : std::string(", 0")) + colunas;
  const std::string origem =
      std::string(" FROM ") + t.Documento + " S" +
      (totais ? " LEFT JOIN CO01_PLANO P ON (P.IDPLANO = S.IDPLANO) LEFT JOIN ES02_CLIFOR C ON (C.IDCLIFOR = P.IDCLIFOR)"
                " LEFT JOIN CA06_MUNICIPIO M ON (M.IDMUNICIPIO = C.IDMUNICIPIO)"
              : "") +
      " LEFT JOIN " + t.Item + " D ON (D." + t.ChaveDocumento + " = S." + t.ChaveDocumento + ") WHERE S.IDFILIAL = ?1 AND S." +
      t.Data + " BETWEEN ?2 AND ?3";
  TLeituraItens leitura{cfops, totais, t.NomeData, {}, {}, {}};
  try {
    if (db.Dialeto() != banco::TDialeto::SQLite) {
      // The same columns, read row by row, each document's items together.
      banco::TComando q(db, "SELECT " + argumentos + origem + " ORDER BY S." + t.ChaveDocumento);
      banco::Vincular(q, idFilial, ini, fim);
      TColunas linha{q, {}};
      while (q.executeStep()) leitura.Linha(linha);
    } else {
    TLeitura q(db, std::string("SELECT ") + kFuncaoItens + "(?4, " + argumentos + ")" + origem, [&] {
      // The function is registered on the connection the first time (registering it again would
      // make SQLite prepare every statement of the connection anew).
      return sqlite3_create_function_v2(db.getHandle(), kFuncaoItens, 1 + kQtdeArgumentos, SQLITE_UTF8 | SQLITE_DIRECTONLY,
                                        nullptr, nullptr, &TLeituraItens::Passo, &TLeituraItens::Fim, nullptr);
    });
    q.Vincular(1, idFilial);
    q.Vincular(2, ini);
    q.Vincular(3, fim);
    q.Vincular(4, &leitura, kTipoLeitura);
    try {
      while (q.Proxima()) {
      }
    } catch (const banco::EMotor&) {
      if (leitura.Erro) std::rethrow_exception(leitura.Erro);
      throw;
    }
    }
    // The dates outside the interval (NULL is neither before nor after it), each part a range of the
    // index on establishment and date; in no order (ORDER BY id would read the whole table by id).
    std::string sqlFora;
    for (const char* fora : {" < ?2", " > ?3", " IS NULL"})
      sqlFora += std::string(sqlFora.empty() ? "" : " UNION ALL ") + "SELECT " + t.ChaveDocumento + ", " + t.Data + " FROM " +
                 t.Documento + " WHERE IDFILIAL = ?1 AND " + t.Data + fora + " AND " + DataInvalida(t.Data);
    TLeitura fora(db, sqlFora);
    fora.Vincular(1, idFilial);
    fora.Vincular(2, ini);
    fora.Vincular(3, fim);
    while (fora.Proxima())
      leitura.Datas.Acrescentar(fora.Inteiro(0), std::string(t.NomeData) + " " + fora.DataComoGuardada(1) +
                                                     " não é uma data AAAA-MM-DD (o documento ficaria fora de todo período)");
  } catch (const banco::EMotor& e) {
    LancarErroBanco(e, std::string("Verificação dos dados da apuração: ") + e.what());
  }
  for (auto& [id, motivo] : std::move(leitura.Datas).Ordenados())
    datas.push_back(Documento(db, t, false, id) + ", " + Linha(t.Documento, t.ChaveDocumento, id, motivo));
  for (auto& [id, motivo] : std::move(leitura.Itens).Ordenados())
    itens.push_back(Documento(db, t, true, id) + ", " + Linha(t.Item, t.ChaveItem, id, motivo));
  if (totais) totais->Concluir();
}

// The establishments of whole companies that the run reads.
void AcrescentarEmpresas(banco::TBanco& db, const std::set<std::pair<int32_t, std::string>>& empresas,
                         std::set<int64_t>& filiais) {
  for (const auto& [idEmpresa, uf] : empresas) {
    banco::TComando q(db, "SELECT F.IDFILIAL FROM SC00_FILIAL F LEFT JOIN CA06_MUNICIPIO M ON (M.IDMUNICIPIO = F.IDMUNICIPIO)"
                            " WHERE F.IDEMPRESA = ?1 AND (?2 = '' OR M.UF = ?2)");
    banco::Vincular(q, idEmpresa, uf);
    while (q.executeStep()) filiais.insert(q.getColumn(0).getInt64());
  }
}

}  // namespace

std::vector<std::string> CfopsInvalidos(banco::TBanco& db) {
  std::vector<std::string> problemas;
  Verificar(db,
            "SELECT IDCFOP, CFOP,"
            "       NOT (CFOP GLOB '[0-9].[0-9][0-9][0-9]' OR CFOP GLOB '[0-9].[0-9][0-9][0-9].[0-9][0-9][0-9]'),"
            "       (SELECT COUNT(*) FROM ES02_CFOP O WHERE trim(O.CFOP) = trim(C.CFOP))"
            "  FROM ES02_CFOP C"
            " WHERE NOT (CFOP GLOB '[0-9].[0-9][0-9][0-9]' OR CFOP GLOB '[0-9].[0-9][0-9][0-9].[0-9][0-9][0-9]')"
            "    OR trim(CFOP) IN (SELECT trim(CFOP) FROM ES02_CFOP GROUP BY trim(CFOP) HAVING COUNT(*) > 1)"
            " ORDER BY trim(CFOP), IDCFOP" + std::string(kLimite),
            problemas, [](banco::TComando& q) {
              const std::string cfop = Citado(q.getColumn(1));
              return Linha("ES02_CFOP", "IDCFOP", q.getColumn(0).getInt64(),
                           q.getColumn(2).getInt()
                               ? "CFOP " + cfop + " fora do formato 9.999 ou 9.999.999 (sem espaços)"
                               : "CFOP " + cfop + " repetido (" + q.getColumn(3).getString() +
                                     " linhas com esse código; o registro agrupado somaria a família uma vez por linha)");
            });
  return problemas;
}

void TLeituras::Acrescentar(int64_t idFilial, TDateTime inicio, TDateTime fim) {
  Documentos.insert(idFilial);
  Lancamentos.insert(idFilial);
  if (Inicio == 0 || inicio < Inicio) Inicio = inicio;
  if (fim > Fim) Fim = fim;
}

TProblemas VerificarApuracao(TQDConnection& c, const TFilial& filial, const TLeituras& leituras,
                             bool substituicaoTributaria) {
  banco::TBanco& db = c.Db();
  const std::string ini = DataISO(leituras.Inicio), termino = DataISO(leituras.Fim);
  std::set<int64_t> documentos = leituras.Documentos, lancamentos = leituras.Lancamentos;
  documentos.insert(filial.IdFilial);
  AcrescentarEmpresas(db, leituras.EmpresasDocumentos, documentos);
  AcrescentarEmpresas(db, leituras.EmpresasLancamentos, lancamentos);
  TProblemas r;
  r.Erros = CfopsInvalidos(db);
  // With a run in progress, the same reading of the establishment's items totals them for its
  // registers.
  banco::TApuracaoEmCurso* emCurso = c.ApuracaoEmCurso();
  std::vector<banco::TTotaisItens> totais;
  totais.reserve(std::size(kItens));
  const std::unordered_set<int64_t> cfops = IdsCfop(db);
  for (const TItens& t : kItens) {
    std::vector<std::string> itens;  // listed after the dates of every establishment
    for (int64_t f : documentos) {
      const bool propria = emCurso && f == filial.IdFilial;
      if (propria) totais.emplace_back(filial.IdFilial, t.Saidas, ini, termino);
      VerificarDocumentos(db, t, f, ini, termino, cfops, r.Erros, itens, propria ? &totais.back() : nullptr);
    }
    r.Erros.insert(r.Erros.end(), std::make_move_iterator(itens.begin()), std::make_move_iterator(itens.end()));
  }
  // The services the RS small business adds to its revenue, as the documents.
  for (int64_t f : documentos) {
    auto servico = [&](banco::TComando& q, const char* tabela, const char* chave, const std::string& problema) {
      return "Serviço nº " + (q.getColumn(1).isNull() ? std::string("(sem número)") : q.getColumn(1).getString()) + " de " +
             DataLegivel(q.getColumn(2)) + " " + Estabelecimento(db, f) + ", " +
             Linha(tabela, chave, q.getColumn(0).getInt64(), problema);
    };
    Verificar(db,
              "SELECT IDSERVICO, NUMERO, DATAEMISSAO FROM ES02_SERVICO WHERE IDFILIAL = ?1 AND " + DataInvalida("DATAEMISSAO") +
                  " ORDER BY 1" + kLimite,
              r.Erros,
              [&](banco::TComando& q) {
                return servico(q, "ES02_SERVICO", "IDSERVICO",
                               "data de emissão " + DataComoGuardada(q.getColumn(2)) +
                                   " não é uma data AAAA-MM-DD (o serviço ficaria fora de todo período)");
              },
              f);
    Verificar(db,
              "SELECT D.IDSERVICODET, S.NUMERO, S.DATAEMISSAO, D.VLRCONTABIL FROM ES02_SERVICO S"
              "  JOIN ES02_SERVICODET D ON (D.IDSERVICO = S.IDSERVICO)"
              " WHERE S.IDFILIAL = ?1 AND S.DATAEMISSAO BETWEEN ?2 AND ?3 AND " + NaoNumerico("D.VLRCONTABIL") +
                  " ORDER BY 1" + kLimite,
              r.Erros,
              [&](banco::TComando& q) {
                return servico(q, "ES02_SERVICODET", "IDSERVICODET", "VLRCONTABIL " + Citado(q.getColumn(3)) + " não é um número");
              },
              f, ini, termino);
  }
  for (int64_t f : lancamentos) {
    auto lancamento = [&](banco::TComando& q, const std::string& problema) {
      const banco::TColuna data = q.getColumn(2), descricao = q.getColumn(3);
      return "Lançamento de apuração " + (descricao.isNull() ? std::string() : Citado(descricao) + " ") + "de " +
             DataLegivel(data) + " " + Estabelecimento(db, f) + ", " +
             Linha("ES02_LCTOAPUR", "IDLCTOAPUR", q.getColumn(0).getInt64(), problema);
    };
    Verificar(db,
              "SELECT IDLCTOAPUR, DATA, DATA, DESCRICAO FROM ES02_LCTOAPUR WHERE IDFILIAL = ?1 AND " + DataInvalida("DATA") +
                  " ORDER BY IDLCTOAPUR" + kLimite,
              r.Erros,
              [&](banco::TComando& q) {
                return lancamento(q, "DATA " + DataComoGuardada(q.getColumn(1)) +
                                         " não é uma data AAAA-MM-DD (o lançamento ficaria fora de todo período)");
              },
              f);
    Verificar(db,
              "SELECT IDLCTOAPUR, VALOR, DATA, DESCRICAO FROM ES02_LCTOAPUR WHERE IDFILIAL = ?1 AND DATA BETWEEN ?2 AND ?3"
              "   AND " + NaoNumerico("VALOR") + " ORDER BY IDLCTOAPUR" + kLimite,
              r.Erros, [&](banco::TComando& q) { return lancamento(q, "VALOR " + Citado(q.getColumn(1)) + " não é um número"); },
              f, ini, termino);
  }
  Verificar(db,
            "SELECT I.IDINSCRICAOST, I.UF FROM HS_INSCRICAOST I LEFT JOIN HS_CODIGOICMSST C ON (C.UF = I.UF)"
            " WHERE I.IDFILIAL = ?1 AND I.DATAINICIO <= ?3 AND (I.DATAFIM IS NULL OR I.DATAFIM >= ?2) AND C.UF IS NULL"
            " ORDER BY I.IDINSCRICAOST" + std::string(kLimite),
            substituicaoTributaria ? r.Erros : r.Avisos, [&](banco::TComando& q) {
              return Linha("HS_INSCRICAOST", "IDINSCRICAOST", q.getColumn(0).getInt64(),
                           "estado " + Citado(q.getColumn(1)) + " sem código de ICMS-ST em HS_CODIGOICMSST" +
                               (substituicaoTributaria ? " (o ICMS-ST dessa inscrição não seria apurado)"
                                                       : "; a inscrição é ignorada"));
            },
            filial.IdFilial, ini, termino);
  if (emCurso && r.Erros.empty())
    for (banco::TTotaisItens& t : totais) emCurso->GuardarItens(std::move(t));
  return r;
}

std::string Relatorio(const std::string& titulo, const std::vector<std::string>& problemas,
                      const std::vector<std::string>& gravados) {
  std::string r = titulo + ": o banco tem dados que dariam números errados (invalid stored data), e " +
                  (gravados.empty() ? std::string("nada foi gravado.")
                                    : "o que foi apurado antes ficou gravado: " + [&] {
                                        std::string g;
                                        for (size_t i = 0; i < gravados.size(); ++i) g += (i ? "; " : "") + gravados[i];
                                        return g;
                                      }() + ".") +
                  " Corrija estas linhas e repita a operação:";
  for (size_t i = 0; i < problemas.size() && i < kMaximoListado; ++i) r += "\n- " + problemas[i];
  if (problemas.size() > kMaximoListado) r += "\n- (e outras linhas)";
  return r;
}

}  // namespace integridade

EDadosInvalidos::EDadosInvalidos(std::string titulo, std::vector<std::string> problemas)
    : EBancoDados(integridade::Relatorio(titulo, problemas)), titulo_(std::move(titulo)), problemas_(std::move(problemas)) {}

EDadosInvalidos EDadosInvalidos::ComGravados(const std::vector<std::string>& gravados) const {
  if (titulo_.empty()) {  // a message of its own: what was recorded goes after it
    std::string m = std::string(what()) + "\nO que foi apurado antes deste erro ficou gravado:";
    for (const auto& g : gravados) m += "\n- " + g;
    return EDadosInvalidos(m);
  }
  EDadosInvalidos e(integridade::Relatorio(titulo_, problemas_, gravados));
  e.titulo_ = titulo_;
  e.problemas_ = problemas_;
  return e;
}
