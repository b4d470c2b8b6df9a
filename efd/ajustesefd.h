#pragma once
// What an adjustment code of the EFD means to the settlement: which kind of settlement entry it is
// and which field of the client's settlement (E110 or E210) it is part of. Import and export read
// the codes through here, so that both sides of the comparison count an adjustment in one place.
//
// Settlement adjustments (E111, E220; 8 characters): state, 3rd character the settlement (0 own
// ICMS, 1 ICMS-ST), 4th character the use (0 other debits, 1 credit reversal, 2 other credits,
// 3 debit reversal, 4 deductions, 5 special debits), then a sequence.
// Document adjustments (C197, D197; 10 characters): state, 3rd character the kind (0-2 credits,
// 3-5 debits, 6 deduction, 7 special debit, 8 and 9 not part of the settlement), 4th character the
// tax (0 and 3-8 own ICMS, 1 ICMS-ST, 2 not part of these settlements).
#include <cstdint>
#include <string>

namespace efd {

// Entry kinds (TPLANCAMENTO) the adjustments become.
inline constexpr int32_t kOutrosCreditos = 1;
inline constexpr int32_t kEstornoDebitos = 2;
inline constexpr int32_t kEstornoCreditos = 4;
inline constexpr int32_t kSaldoCredorAnterior = 5;
inline constexpr int32_t kDeducoes = 8;
inline constexpr int32_t kImpostoOutrosValores = 10;
inline constexpr int32_t kDebitosEspecificos = 13;
inline constexpr int32_t kOutrosDebitos = 15;

// Auxiliary records (ES02_LCTOAPURAUX.TP) an import leaves on the entries it writes.
inline constexpr int32_t kAuxDebitoEspecifico = 1;  // a specific debit's due date (INFORMACAO2, dd/mm/yyyy)
inline constexpr int32_t kAuxCodigoEFD = 20;      // code, record of origin, E110/E210 field
inline constexpr int32_t kAuxReferenciaEFD = 21;  // one E112/E113/E230/E240 line each

struct TClasseAjuste {
  bool Apuracao = false;    // false: informative, or of a settlement kept out
  bool ST = false;          // part of the ICMS-ST settlement (E210) rather than of E110
  int32_t TpLancamento = 0;
  int Campo = 0;            // field of E110 (own ICMS) or E210 (ST)
};

TClasseAjuste ClassificarAjusteApuracao(const std::string& codigo);
TClasseAjuste ClassificarAjusteDocumento(const std::string& codigo);

// Field of E110 (st = false) or E210 an entry of kind `tpLancamento` without an EFD code is part
// of (a user's entry, a host calculation); 0 when the kind is not part of the settlement.
int CampoDoLancamento(int32_t tpLancamento, bool st);
// Use digit (4th character of an E111/E220 code) of an entry kind; ' ' when none.
char UsoDoLancamento(int32_t tpLancamento);
// The generic code of the state for an entry without one: state, settlement, use, "9999".
std::string CodigoGenerico(const std::string& uf, bool st, int32_t tpLancamento);

}  // namespace efd
