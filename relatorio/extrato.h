#pragma once
// A plain-text statement of a calculated run: one block per summary with its identity, every
// debit, credit and balance line with details, the register tax totals, the sums and balances,
// the tax due with payment code and due date. The command line prints it after `apurar`.
#include <string>

class TApuracao;
class TResumo;

std::string ExtratoResumo(TResumo& r);
std::string ExtratoApuracao(TApuracao& a);
