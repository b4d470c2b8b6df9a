#pragma once
// The faster forms of the ICMS-ST texts: the CFOP registers of a state (apuracao/formasrapidas.h)
// and the GNRE guides of an ICMS-ST state without inscription (the book's guide
// list, kSqlGNRE; host/banco/formasrapidas.h). As written, the text reads every guide the
// establishment ever had for each period it prints. The form reaches the guides from the
// establishment's exits instead (index on establishment and date), once for the whole interval
// whose items the run read, and answers each period from those rows, in the order the text's own
// reading gives them (guide, then its link to the exit). It holds only when no guide of the
// establishment and tax pays another establishment's exit, which the run asks once; otherwise the
// text runs as written.

// Registers the forms; the regimes' factory calls it (once is enough, again is harmless).
void RegistrarFormasRapidasST();
