#include "host/banco/registrosapuracao.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <vector>

#include "host/banco/motor.h"

namespace banco {

namespace {

// A table the settlement writes: its numbered key, and for a detail table the column that points
// at its parent; `Referencia` another column holding a key of `Referida`.
struct TTabelaApurada {
  const char* Nome;
  const char* Chave;
  const char* Pai = nullptr;
  const char* ColunaPai = nullptr;
  const char* Referencia = nullptr;
  const char* Referida = nullptr;
};

constexpr TTabelaApurada kTabelas[] = {
    {"TR04_IMPOSTO", "IDIMPOSTO"},
    {"TR04_IMPOSTODET", "IDIMPOSTODET", "TR04_IMPOSTO", "IDIMPOSTO"},
    {"ES02_LCTOAPUR", "IDLCTOAPUR"},
    {"ES02_LCTOAPURAUX", "IDLCTOAPURAUX", "ES02_LCTOAPUR", "IDLCTOAPUR"},
    {"ES02_GIA", "IDGIA"},
    {"ES02_GIADET", "IDGIADET", "ES02_GIA", "IDGIA"},
    {"HS_LANCCONTABIL", "ID", nullptr, nullptr, "IDLCTOAPUR", "ES02_LCTOAPUR"},
};

bool Igual(const std::string& a, const char* b) {
  return std::equal(a.begin(), a.end(), b, b + std::char_traits<char>::length(b),
                    [](char x, char y) { return std::toupper(static_cast<unsigned char>(x)) == y; });
}

}  // namespace

std::string RegistrosDaApuracao(TBanco& db, int64_t idFilial) {
  // The stable name of every numbered row, table by table.
  std::map<std::string, std::map<int64_t, std::string>> nomes;
  std::string r;
  for (const TTabelaApurada& t : kTabelas) {
    const bool detalhe = t.Pai != nullptr;
    TComando q(db, std::string("SELECT * FROM ") + t.Nome + " ORDER BY " + (detalhe ? t.ColunaPai : "IDFILIAL") + ", " + t.Chave);
    std::map<std::string, int> ranks;
    std::vector<std::string> linhas;
    auto& meus = nomes[t.Nome];
    while (q.executeStep()) {
      std::string grupo;
      if (detalhe) {
        const auto& pais = nomes[t.Pai];
        auto it = pais.find(q.getColumn(t.ColunaPai).getInt64());
        if (it == pais.end()) continue;  // a detail of another establishment (or of none)
        grupo = it->second;
      } else {
        const int64_t filial = q.getColumn("IDFILIAL").getInt64();
        if (idFilial != 0 && filial != idFilial) continue;
        grupo = "F" + std::to_string(filial);
      }
      const std::string nome = grupo + "." + std::to_string(++ranks[grupo]);
      meus[q.getColumn(t.Chave).getInt64()] = nome;
      std::string linha;
      for (int i = 0; i < q.getColumnCount(); ++i) {
        const std::string coluna = q.getColumnName(i);
        const TColuna v = q.getColumn(i);
        std::string texto = v.isNull() ? "NULL" : v.getString();
        if (Igual(coluna, t.Chave)) {
          texto = nome;
        } else if (detalhe && Igual(coluna, t.ColunaPai)) {
          texto = grupo;
        } else if (t.Referencia && Igual(coluna, t.Referencia) && !v.isNull()) {
          const auto& referidos = nomes[t.Referida];
          auto it = referidos.find(v.getInt64());
          if (it != referidos.end()) texto = it->second;
        }
        linha += (i ? "|" : "") + texto;
      }
      linhas.push_back(linha);
    }
    std::sort(linhas.begin(), linhas.end());
    r += std::string("# ") + t.Nome + "\n";
    for (const auto& l : linhas) r += l + "\n";
  }
  return r;
}

}  // namespace banco
