#pragma once
// The items of one establishment's entries or exits over an interval, totalled in one reading: per
// day, CFOP id, state of the document's participant and ICMS-ST flag, the amounts the CFOP
// registers add up. A run reads its items once this way (host/banco/integridade.cpp, which checks
// them in the same reading) and answers every register query of its periods from these totals
// (host/banco/formasrapidas.h) instead of reading the items again for each tax and period.
//
// Amounts are kept exact, in ten-thousandths of the stored value, so the order in which items are
// added changes nothing. The check that feeds these totals refuses amounts of more than four
// decimals (integridade.h): rounding each item to ten-thousandths and rounding the texts' sum of
// the stored values would part there. An amount or a sum that does not fit
// makes the totals unusable: the register queries then run as written and meet the overflow there,
// with its message.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace banco {

// The sums the registers need, in ten-thousandths.
enum TSomaItem { siValorContabil, siBaseICMS, siICMS, siIsentasNaoTributadas, siOutras, siBaseST, siICMSST, kQtdeSomasItem };
using TSomasItem = std::array<int64_t, kQtdeSomasItem>;

class TTotaisItens {
 public:
  // Which items were read: the establishment, the side (true = exits) and the interval, as the
  // ISO date texts the documents were selected by.
  TTotaisItens(int64_t idFilial, bool saidas, std::string inicio, std::string fim);

  // While reading: the document whose items follow, dated `data` (its stored text), whose
  // participant lies in `uf` (nullptr: none, or the chain document - account - participant -
  // municipality is broken).
  void Documento(std::string_view data, const std::string_view* uf);
  // One item of that document, with the ST flag of its side set or not, and its amounts in
  // ten-thousandths. A sum that does not fit makes the totals unusable.
  void Adicionar(int64_t idCfop, bool st, const TSomasItem& somas);
  // An amount stored as a real, already multiplied by 10,000 and rounded to the nearest as
  // Currency::FromDouble rounds (std::round), as a whole number; false when it does not fit in 64 bits.
  static bool DezMilesimosArredondados(double arredondado, int64_t& resultado);
  // A whole amount in ten-thousandths; false when it does not fit in 64 bits.
  static bool DezMilesimos(int64_t valor, int64_t& resultado);
  void Invalidar() { utilizavel_ = false; }
  // Ends the reading: sorts the days and joins what an out-of-order document left apart.
  void Concluir();

  bool Utilizavel() const { return utilizavel_; }
  int64_t IdFilial() const { return idFilial_; }
  bool Saidas() const { return saidas_; }
  const std::string& Inicio() const { return inicio_; }
  const std::string& Fim() const { return fim_; }
  // Whether every document dated between `inicio` and `fim` (ISO texts, compared as the database
  // compares them) was read.
  bool Cobre(const std::string& inicio, const std::string& fim) const;
  // The sums per CFOP id of the items dated between `inicio` and `fim`; with `uf`, only the items
  // whose participant lies in that state and whose ST flag is set. In ascending CFOP id; nothing
  // when a sum does not fit.
  std::optional<std::vector<std::pair<int64_t, TSomasItem>>> Somar(const std::string& inicio, const std::string& fim,
                                                    const std::string* uf) const;
  size_t Linhas() const { return linhas_.size(); }

 private:
  struct TLinha {
    int64_t IdCfop;
    int32_t Dia;  // index into dias_
    int16_t UF;   // index into ufs_, -1 none
    bool ST;
    TSomasItem Somas;
  };
  struct TChaveDia {
    int64_t IdCfop;
    int16_t UF;
    bool ST;
    bool operator==(const TChaveDia&) const = default;
  };
  struct THashChave {
    size_t operator()(const TChaveDia& c) const {
      return std::hash<uint64_t>()(static_cast<uint64_t>(c.IdCfop) * 64u + static_cast<uint64_t>(c.UF + 1) * 2u +
                                   (c.ST ? 1u : 0u));
    }
  };

  int32_t IndiceDia(std::string_view data);
  int16_t IndiceUF(std::string_view uf);
  int16_t ufAtual_ = -1;  // the state of the document being read

  int64_t idFilial_;
  bool saidas_;
  std::string inicio_, fim_;
  bool utilizavel_ = true;
  std::vector<std::string> dias_;       // after Concluir, ascending
  std::vector<size_t> inicioDia_;       // after Concluir: first line of each day, then the end
  std::vector<std::string> ufs_;
  std::vector<TLinha> linhas_;
  // While reading: the day being filled and where its lines are.
  int32_t diaAtual_ = -1;
  std::string textoDiaAtual_;
  std::unordered_map<std::string, int32_t> indiceDias_;
  std::unordered_map<TChaveDia, size_t, THashChave> linhasDoDia_;
};

}  // namespace banco
