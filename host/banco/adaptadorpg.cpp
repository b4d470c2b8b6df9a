// The host's SQLite dialect rewritten for PostgreSQL, token by token.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "host/banco/adaptadorsql.h"

namespace {

enum class TTipo { Palavra, Literal, Espaco, Parametro, Simbolo };

struct TToken {
  TTipo tipo;
  std::string texto;
};

bool Ident(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }

std::vector<TToken> Tokens(std::string_view s) {
  std::vector<TToken> r;
  size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    size_t j = i + 1;
    TTipo t = TTipo::Simbolo;
    if (c == '\'' || c == '"') {
      while (j < s.size() && !(s[j] == c && (j + 1 >= s.size() || s[j + 1] != c))) j += s[j] == c ? 2 : 1;
      j = std::min(j + 1, s.size());
      t = c == '\'' ? TTipo::Literal : TTipo::Palavra;
    } else if (c == '-' && j < s.size() && s[j] == '-') {
      while (j < s.size() && s[j] != '\n') ++j;
      t = TTipo::Espaco;
    } else if (c == '/' && j < s.size() && s[j] == '*') {
      const size_t f = s.find("*/", j + 1);
      j = f == std::string_view::npos ? s.size() : f + 2;
      t = TTipo::Espaco;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      while (j < s.size() && std::isspace(static_cast<unsigned char>(s[j]))) ++j;
      t = TTipo::Espaco;
    } else if (c == '?') {
      while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j;
      t = TTipo::Parametro;
    } else if (Ident(c) || c == '.') {
      // numbers with a decimal point or exponent are one token
      while (j < s.size() && (Ident(s[j]) || (std::isdigit(static_cast<unsigned char>(c)) && (s[j] == '.' ||
              ((s[j] == '-' || s[j] == '+') && (s[j - 1] == 'e' || s[j - 1] == 'E'))))))
        ++j;
      t = TTipo::Palavra;
    } else if ((c == '<' || c == '>' || c == '!' || c == '|') && j < s.size() && (s[j] == '=' || s[j] == '>' || s[j] == '|')) {
      ++j;
    }
    r.push_back({t, std::string(s.substr(i, j - i))});
    i = j;
  }
  return r;
}

bool E(const TToken& t, std::string_view palavra) {
  if (t.tipo != TTipo::Palavra || t.texto.size() != palavra.size()) return false;
  for (size_t k = 0; k < palavra.size(); ++k)
    if (std::toupper(static_cast<unsigned char>(t.texto[k])) != palavra[k]) return false;
  return true;
}

class TReescrita {
 public:
  TReescrita(std::vector<TToken> t, bool parametros, bool casosComoTexto)
      : t_(std::move(t)), parametros_(parametros), casosComoTexto_(casosComoTexto) {}

  std::string Texto() {
    Instrucoes();
    std::string r;
    for (const auto& t : t_) r += t.texto;
    return r;
  }

 private:
  // Next significant token from i (skipping spaces); t_.size() when none.
  size_t Prox(size_t i) const {
    while (i < t_.size() && t_[i].tipo == TTipo::Espaco) ++i;
    return i;
  }
  bool Em(size_t i, std::string_view p) const { return i < t_.size() && E(t_[i], p); }
  bool Sim(size_t i, const char* s) const { return i < t_.size() && t_[i].tipo == TTipo::Simbolo && t_[i].texto == s; }
  // Index of the ')' closing the '(' at i.
  size_t Fecha(size_t i) const {
    int nivel = 0;
    for (; i < t_.size(); ++i) {
      if (Sim(i, "(")) ++nivel;
      if (Sim(i, ")") && --nivel == 0) return i;
    }
    return t_.size();
  }

  void Instrucoes() {
    size_t ini = 0;
    int proximoParametro = 0;
    for (size_t i = 0; i <= t_.size(); ++i) {
      if (i < t_.size() && !Sim(i, ";")) {
        if (parametros_ && t_[i].tipo == TTipo::Parametro) {
          const int n = t_[i].texto.size() > 1 ? std::stoi(t_[i].texto.substr(1)) : proximoParametro + 1;
          proximoParametro = std::max(proximoParametro, n);
          t_[i].texto = "$" + std::to_string(n);
        }
        continue;
      }
      Instrucao(ini, i);
      ini = i + 1;
    }
  }

  void Instrucao(size_t ini, size_t& fim) {
    const size_t a = Prox(ini), b = Prox(a + 1);
    const bool ddl = (Em(a, "CREATE") && Em(b, "TABLE")) || (Em(a, "ALTER") && Em(b, "TABLE"));
    if (Em(a, "BEGIN") && Em(b, "IMMEDIATE")) t_[b].texto.clear();
    if (ddl) {
      Definicao(ini, fim);
      return;
    }
    OrdemDaUniao(ini, fim);
    OrdemDoAgrupamento(ini, fim);
    for (size_t i = ini; i < fim; ++i) {
      if (Em(i, "GLOB")) Glob(i);
      else if ((Em(i, "MAX") || Em(i, "MIN")) && Sim(Prox(i + 1), "(")) DoisValores(i);
      else if (Em(i, "CHAR") && Sim(Prox(i + 1), "(")) t_[i].texto = "chr";
      else if (Em(i, "GROUP_CONCAT") && Sim(Prox(i + 1), "(")) Concatenacao(i);
      else if (Em(i, "IS")) Identidade(i);
      else if (Em(i, "CROSS") && Em(Prox(i + 1), "JOIN")) Cruzada(i);
      else if (casosComoTexto_ && (Em(i, "THEN") || Em(i, "ELSE"))) ComoTexto(i);
      else if (Em(i, "ORDER") && Em(Prox(i + 1), "BY")) fim += OrdemNulos(Prox(i + 1) + 1, fim);
      else if ((Em(i, "FROM") || Em(i, "JOIN")) && Sim(Prox(i + 1), "(") && Em(Prox(Prox(i + 1) + 1), "SELECT")) Apelido(Prox(i + 1));
    }
  }

  // Text added at position i, as tokens, so that later passes read it as any other.
  void Inserir(size_t i, const std::string& texto, size_t& fim) {
    const std::vector<TToken> novos = Tokens(texto);
    t_.insert(t_.begin() + static_cast<std::ptrdiff_t>(i), novos.begin(), novos.end());
    fim += novos.size();
  }

  // SQLite answers a UNION without ORDER BY sorted by its columns, as it removes the repeated rows.
  void OrdemDaUniao(size_t ini, size_t& fim) {
    int nivel = 0, colunas = 1;
    bool uniao = false, ordem = false, select = false, from = false;
    for (size_t i = ini; i < fim; ++i) {
      if (Sim(i, "(")) ++nivel;
      if (Sim(i, ")")) --nivel;
      if (nivel != 0) continue;
      if (Em(i, "UNION") && !Em(Prox(i + 1), "ALL")) uniao = true;
      if (Em(i, "ORDER")) ordem = true;
      if (Em(i, "SELECT")) select = true;
      if (Em(i, "FROM")) from = true;
      if (select && !from && Sim(i, ",")) ++colunas;
    }
    if (!uniao || ordem) return;
    std::string texto = " ORDER BY 1 NULLS FIRST";
    for (int c = 2; c <= colunas; ++c) texto += ", " + std::to_string(c) + " NULLS FIRST";
    Inserir(Recuo(fim), texto, fim);
  }

  // SQLite takes an ON after CROSS JOIN, as an inner join.
  void Cruzada(size_t i) {
    size_t p = Prox(Prox(Prox(i + 1) + 1) + 1);  // after the table
    if (!Em(p, "ON")) p = Prox(p + 1);              // after its alias
    if (Em(p, "ON")) t_[i].texto = "INNER";
  }

  // SQLite's IS and IS NOT compare any two values, NULL equal to NULL.
  void Identidade(size_t i) {
    size_t p = Prox(i + 1);
    const bool nao = Em(p, "NOT");
    if (nao) p = Prox(p + 1);
    if (Em(p, "NULL") || Em(p, "TRUE") || Em(p, "FALSE") || Em(p, "DISTINCT")) return;
    t_[i].texto = nao ? "IS DISTINCT FROM" : "IS NOT DISTINCT FROM";
    if (nao) t_[Prox(i + 1)].texto.clear();
  }

  // SQLite groups by sorting on the GROUP BY terms, and rows that ORDER BY leaves tied come out in
  // that order; the server's are in no order. The terms of GROUP BY follow those of ORDER BY.
  void OrdemDoAgrupamento(size_t ini, size_t& fim) {
    int nivel = 0;
    size_t grupo = 0, ordem = 0, fimOrdem = 0;
    for (size_t i = ini; i < fim; ++i) {
      if (Sim(i, "(")) ++nivel;
      if (Sim(i, ")")) --nivel;
      if (nivel != 0) continue;
      if (Em(i, "UNION")) return;
      if (Em(i, "GROUP") && Em(Prox(i + 1), "BY")) grupo = Prox(i + 1) + 1;
      if (Em(i, "ORDER") && Em(Prox(i + 1), "BY")) ordem = Prox(i + 1) + 1;
      if (ordem && !fimOrdem && (Em(i, "LIMIT") || Em(i, "OFFSET"))) fimOrdem = Recuo(i);
    }
    if (!grupo || !ordem) return;
    if (!fimOrdem) fimOrdem = Recuo(fim);
    auto termos = [&](size_t de, size_t ate) {
      std::vector<std::string> r(1);
      for (size_t k = de; k < ate; ++k) {
        if (Em(k, "HAVING") || Em(k, "ORDER") || Em(k, "LIMIT") || Em(k, "ASC") || Em(k, "DESC")) break;
        if (Sim(k, ",")) r.emplace_back();
        else if (t_[k].tipo != TTipo::Espaco) r.back() += t_[k].texto;
      }
      return r;
    };
    const std::vector<std::string> porGrupo = termos(grupo, ordem), porOrdem = termos(ordem, fimOrdem);
    std::string extra;
    for (const std::string& g : porGrupo)
      if (std::find(porOrdem.begin(), porOrdem.end(), g) == porOrdem.end()) extra += ", " + g + " NULLS FIRST";
    if (extra.empty()) return;
    Inserir(fimOrdem, extra, fim);
  }

  // The result of a branch of CASE as text, so that branches of different types meet.
  void ComoTexto(size_t i) {
    int nivel = 0, casos = 0;
    size_t j = i + 1;
    for (; j < t_.size(); ++j) {
      if (Sim(j, "(")) ++nivel;
      if (Sim(j, ")") && --nivel < 0) break;
      if (nivel > 0) continue;
      if (Em(j, "CASE")) ++casos;
      if (Em(j, "END") && casos > 0) { --casos; continue; }
      if (casos == 0 && (Em(j, "WHEN") || Em(j, "ELSE") || Em(j, "END"))) break;
    }
    t_[i].texto += " livro_texto(";
    t_[Recuo(j) - 1].texto += ")";
  }

  // PostgreSQL names every subquery in FROM; SQLite lets it go unnamed.
  void Apelido(size_t abre) {
    const size_t fecha = Fecha(abre), p = Prox(fecha + 1);
    if (fecha >= t_.size()) return;
    static constexpr const char* kSeguintes[] = {"WHERE", "ORDER", "GROUP", "JOIN", "LEFT", "INNER", "CROSS", "ON",
                                                 "UNION", "LIMIT", "HAVING", "EXCEPT", "INTERSECT", "OFFSET"};
    bool semNome = p >= t_.size() || t_[p].tipo != TTipo::Palavra;
    for (const char* k : kSeguintes) semNome = semNome || Em(p, k);
    if (semNome) t_[fecha].texto += " AS livro_sub" + std::to_string(++subconsultas_);
  }

  // a GLOB 'padrão' -> a ~ '^regex$'; NOT GLOB -> !~
  void Glob(size_t i) {
    size_t antes = i;
    while (antes > 0 && t_[antes - 1].tipo == TTipo::Espaco) --antes;
    bool negado = antes > 0 && E(t_[antes - 1], "NOT");
    if (negado) t_[antes - 1].texto.clear();
    t_[i].texto = negado ? "!~" : "~";
    const size_t p = Prox(i + 1);
    if (p >= t_.size() || t_[p].tipo != TTipo::Literal) return;
    const std::string& g = t_[p].texto;
    std::string re = "'^";
    bool classe = false;
    for (size_t k = 1; k + 1 < g.size(); ++k) {
      const char c = g[k];
      if (classe) { re += c; classe = c != ']'; continue; }
      if (c == '[') { re += c; classe = true; if (k + 1 < g.size() && g[k + 1] == '^') { re += '^'; ++k; } continue; }
      if (c == '*') re += ".*";
      else if (c == '?') re += '.';
      else if (std::string_view(".\\+()|{}^$").find(c) != std::string_view::npos) re += std::string("\\") + c;
      else re += c;
    }
    t_[p].texto = re + "$'";
  }

  // group_concat(a[, sep]) -> string_agg(CAST(a AS TEXT), sep), the separator ',' by default.
  void Concatenacao(size_t i) {
    const size_t abre = Prox(i + 1), fecha = Fecha(abre);
    if (fecha >= t_.size()) return;
    size_t virgula = fecha;
    int nivel = 0;
    for (size_t k = abre; k < fecha && virgula == fecha; ++k) {
      if (Sim(k, "(")) ++nivel;
      if (Sim(k, ")")) --nivel;
      if (nivel == 1 && Sim(k, ",")) virgula = k;
    }
    t_[i].texto = "string_agg";
    t_[abre].texto = "(CAST((";
    t_[virgula].texto = virgula == fecha ? ") AS TEXT), ',')" : ") AS TEXT),";
  }

  // max(a, b) and min(a, b) of SQLite are scalar.
  void DoisValores(size_t i) {
    const size_t abre = Prox(i + 1), fecha = Fecha(abre);
    int nivel = 0;
    for (size_t k = abre; k < fecha; ++k) {
      if (Sim(k, "(")) ++nivel;
      if (Sim(k, ")")) --nivel;
      if (nivel == 1 && Sim(k, ",")) {
        t_[i].texto = E(t_[i], "MAX") ? "GREATEST" : "LEAST";
        return;
      }
    }
  }

  // SQLite orders NULL before every value: each term of the list says so. Returns tokens added.
  size_t OrdemNulos(size_t i, size_t fim) {
    size_t adicionados = 0;
    int nivel = 0;
    bool desc = false, nulls = false;
    auto fechar = [&](size_t k) {
      if (!nulls) {
        t_.insert(t_.begin() + static_cast<std::ptrdiff_t>(k), {TTipo::Palavra, desc ? " NULLS LAST" : " NULLS FIRST"});
        ++adicionados;
        ++fim;
      }
      desc = nulls = false;
    };
    for (; i <= fim; ++i) {
      if (i == fim) { fechar(Recuo(i)); break; }
      if (Sim(i, "(")) ++nivel;
      if (Sim(i, ")") && --nivel < 0) { fechar(Recuo(i)); break; }
      if (nivel > 0) continue;
      if (Em(i, "DESC")) desc = true;
      if (Em(i, "NULLS")) nulls = true;
      if (Sim(i, ",")) { fechar(Recuo(i)); ++i; }
      else if (Em(i, "LIMIT") || Em(i, "OFFSET") || Em(i, "UNION") || Em(i, "FOR")) { fechar(Recuo(i)); break; }
    }
    return adicionados;
  }
  // Position just after the last significant token before i.
  size_t Recuo(size_t i) const {
    while (i > 0 && t_[i - 1].tipo == TTipo::Espaco) --i;
    return i;
  }

  void Definicao(size_t ini, size_t fim) {
    std::string tabela, chave;
    for (size_t i = ini; i < fim; ++i) {
      if (tabela.empty() && Em(i, "TABLE")) {
        size_t n = Prox(i + 1);
        while (Em(n, "IF") || Em(n, "NOT") || Em(n, "EXISTS")) n = Prox(n + 1);
        if (n < fim) tabela = t_[n].texto;
      }
      if (Em(i, "INTEGER") && Em(Prox(i + 1), "PRIMARY")) {
        size_t c = i;
        while (c > ini && t_[c - 1].tipo == TTipo::Espaco) --c;
        if (c > ini) chave = t_[c - 1].texto;
        t_[i].texto = "BIGINT GENERATED BY DEFAULT AS IDENTITY";
      } else if (Em(i, "INTEGER")) {
        t_[i].texto = "BIGINT";
      } else if (Em(i, "DATE") && !Sim(Prox(i + 1), "(")) {
        t_[i].texto = "VARCHAR COLLATE \"C\"";
      } else if (Em(i, "NUMERIC") && Sim(Prox(i + 1), "(")) {
        // SQLite keeps a number as given: a rate of six decimals keeps them, and an amount of five
        // reaches the CHECK that refuses it instead of being rounded to the column's scale.
        const size_t f = Fecha(Prox(i + 1));
        for (size_t k = i + 1; k <= f && k < fim; ++k) t_[k].texto.clear();
      } else if (Em(i, "VARCHAR") && Sim(Prox(i + 1), "(")) {
        // SQLite keeps the length as documentation; a longer text is stored whole.
        const size_t f = Fecha(Prox(i + 1));
        for (size_t k = i + 1; k <= f && k < fim; ++k) t_[k].texto.clear();
        t_[i].texto += " COLLATE \"C\"";
      } else if (Em(i, "REFERENCES")) {
        size_t f = Prox(Prox(i + 1) + 1);
        if (Sim(f, "(")) f = Fecha(f);
        for (size_t k = i; k <= f && k < fim; ++k) t_[k].texto.clear();
      } else if (Em(i, "GLOB")) {
        Glob(i);
      } else if ((Em(i, "MAX") || Em(i, "MIN")) && Sim(Prox(i + 1), "(")) {
        DoisValores(i);
      }
    }
    if (chave.empty() || tabela.empty()) return;
    std::string minusc;
    for (char c : chave) minusc += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    t_[fim - 1].texto += ";\nCREATE TRIGGER " + tabela + "_ID AFTER INSERT ON " + tabela +
                         " REFERENCING NEW TABLE AS NOVAS FOR EACH STATEMENT EXECUTE FUNCTION livro_seguir_id('" + minusc +
                         "')";
  }

  std::vector<TToken> t_;
  bool parametros_;
  bool casosComoTexto_;
  int subconsultas_ = 0;
};

}  // namespace

std::string ParaPostgreSQL(std::string_view sql, bool parametros, bool casosComoTexto) {
  return TReescrita(Tokens(sql), parametros, casosComoTexto).Texto();
}

const char* SqlCompatibilidadePostgreSQL() {
  return R"SQL(
CREATE OR REPLACE FUNCTION typeof(v anyelement) RETURNS text LANGUAGE sql IMMUTABLE AS $$
  SELECT CASE WHEN v IS NULL THEN 'null'
              WHEN pg_typeof(v) IN ('smallint'::regtype, 'integer'::regtype, 'bigint'::regtype, 'boolean'::regtype) THEN 'integer'
              WHEN pg_typeof(v) = 'numeric'::regtype THEN CASE WHEN v::text::numeric = trunc(v::text::numeric) THEN 'integer' ELSE 'real' END
              WHEN pg_typeof(v) IN ('real'::regtype, 'double precision'::regtype) THEN 'real'
              ELSE 'text' END $$;
CREATE OR REPLACE FUNCTION date(v text, modificador text) RETURNS text LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
  mes int;
  dia int;
BEGIN
  IF v IS NULL OR v !~ '^[0-9]{4}-[0-9]{2}-[0-9]{2}' THEN RETURN NULL; END IF;
  mes := substr(v, 6, 2)::int;
  dia := substr(v, 9, 2)::int;
  -- As SQLite: any day 1 to 31 of a month 1 to 12, one the month lacks carried into the next.
  IF mes NOT BETWEEN 1 AND 12 OR dia NOT BETWEEN 1 AND 31 THEN RETURN NULL; END IF;
  RETURN to_char(make_date(substr(v, 1, 4)::int, mes, 1) + (dia - 1)
                 + CASE WHEN modificador ~ '^[+-]?[0-9]+ days?$' THEN split_part(modificador, ' ', 1)::int ELSE 0 END,
                 'YYYY-MM-DD');
EXCEPTION WHEN others THEN RETURN NULL;
END $$;
CREATE OR REPLACE FUNCTION livro_texto(v numeric) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT trim_scale(v)::text $$;
CREATE OR REPLACE FUNCTION livro_texto(v text) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT v $$;
CREATE OR REPLACE FUNCTION livro_texto(v anyelement) RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT v::text $$;
CREATE OR REPLACE FUNCTION printf(formato text, v numeric) RETURNS text LANGUAGE sql IMMUTABLE AS $$
  SELECT CASE WHEN formato ~ '^%\.[0-9]+f$' THEN round(v, substr(formato, 3, length(formato) - 3)::int)::text
              ELSE format(regexp_replace(formato, '%[0-9.]*[dfs]', '%s', 'g'), v) END $$;
CREATE OR REPLACE FUNCTION round(v double precision, casas integer) RETURNS double precision LANGUAGE sql IMMUTABLE AS $$
  SELECT round(v::numeric, casas)::double precision $$;
DO $$
DECLARE
  ops text[] := ARRAY['=', 'eq', '<>', 'ne', '<', 'lt', '>', 'gt', '<=', 'le', '>=', 'ge'];
  tipo text;
  k int;
BEGIN
  FOREACH tipo IN ARRAY ARRAY['integer', 'bigint'] LOOP
    FOR k IN 1..6 LOOP
      EXECUTE format('CREATE OR REPLACE FUNCTION livro_%s_%s(a text, b %s) RETURNS boolean LANGUAGE sql IMMUTABLE'
                     ' AS $f$ SELECT a %s b::text $f$', ops[2 * k], tipo, tipo, ops[2 * k - 1]);
      EXECUTE format('CREATE OR REPLACE FUNCTION livro_%s_%s_texto(a %s, b text) RETURNS boolean LANGUAGE sql IMMUTABLE'
                     ' AS $f$ SELECT a::text %s b $f$', ops[2 * k], tipo, tipo, ops[2 * k - 1]);
      BEGIN
        EXECUTE format('CREATE OPERATOR %s (LEFTARG = text, RIGHTARG = %s, FUNCTION = livro_%s_%s)',
                       ops[2 * k - 1], tipo, ops[2 * k], tipo);
        EXECUTE format('CREATE OPERATOR %s (LEFTARG = %s, RIGHTARG = text, FUNCTION = livro_%s_%s_texto)',
                       ops[2 * k - 1], tipo, ops[2 * k], tipo);
      EXCEPTION WHEN duplicate_function OR duplicate_object THEN NULL;
      END;
    END LOOP;
  END LOOP;
END $$;
CREATE OR REPLACE FUNCTION livro_seguir_id() RETURNS trigger LANGUAGE plpgsql AS $$
DECLARE
  maior bigint;
  seq text := pg_get_serial_sequence(format('%I.%I', TG_TABLE_SCHEMA, TG_TABLE_NAME), TG_ARGV[0]);
BEGIN
  EXECUTE format('SELECT max(%I) FROM novas', TG_ARGV[0]) INTO maior;
  IF maior IS NOT NULL THEN
    EXECUTE format('SELECT setval(%L, %s) WHERE %s > (SELECT CASE WHEN is_called THEN last_value ELSE 0 END FROM %s)',
                   seq, maior, maior, seq);
  END IF;
  RETURN NULL;
END $$;
)SQL";
}
