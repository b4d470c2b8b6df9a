#pragma once
// The faster forms of the ICMS-ST texts: the CFOP registers of a state (apuracao/formasrapidas.h)
// and the GNRE guides of an ICMS-ST state without inscription (the book's guide list, kSqlGNRE;
// host/banco/formasrapidas.h). As written, the text reads, for each period the book prints, every
// guide the establishment ever had for the tax with its exit. The form reads them once for the
// whole interval whose items the run read (for a period outside it, that period's own) and answers
// each period from those rows, in the order the text's own reading gives them (guide, then its
// link to the exit).

// Registers the forms; the regimes' factory calls it (once is enough, again is harmless).
void RegistrarFormasRapidasST();
