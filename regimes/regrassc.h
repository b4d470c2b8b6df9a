#pragma once
// What the Santa Catarina summaries share: the state's payment document (DARE) carries, besides the
// amount, the due-date class of the payment code, the agreement number of an extended due date
// ("dilação do prazo") and the periodicity of the settlement. The regular, estimate, bars and
// small-business summaries record all three with their tax; the ICMS-ST summary records the class
// and the periodicity.
#include <string>

#include "apuracao/resumo.h"

namespace regrassc {

// The due-date classes (sub-code CODIGO1 of the payment code) that are paid under an agreement.
bool ClasseExigeAcordo(const std::string& classe);

// The periodicity as the payment document codes it: 1 decendial, 2 fortnightly, 3 monthly or
// longer, 4 yearly, 5 the host's periodicity 6.
std::string CodigoApuracao(TPeriodicidade p);

// The agreement recorded with the latest tax record of the summary's payment code that ends on or
// before the period end (records of another program, TP 2, aside); empty when there is none. So
// an agreement, once recorded, is proposed again in every later period.
std::string NumeroAcordoDoPeriodoOuAnterior(TResumo& r);

// Records the summary's tax due with the class, the agreement and the periodicity code.
void GravarImpostoComAcordo(TResumo& r, const std::string& acordo);

}  // namespace regrassc
