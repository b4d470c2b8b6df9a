#pragma once
// The ledger book output: the printing module of the "Livro Registro de Apuração do ICMS" with
// its page header, register and summary sections, and the plain-text statement of a run.
#include "relatorio/extrato.h"
#include "relatorio/livroicms.h"
