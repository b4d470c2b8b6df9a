#pragma once
// The summary classes of every regime, by summary type: the one place where the settlement run
// gets them. The run (apuracao/) knows only the base class; the printing module and the request
// hand this factory to the runs they create.
#include <memory>

#include "apuracao/resumo.h"

// The summary object of the type's class; nullptr for trInvalid or an ordinal above 16.
std::unique_ptr<TResumo> CriarResumo(TTipoResumo tipo);
