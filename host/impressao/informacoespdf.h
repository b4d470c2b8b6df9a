#pragma once
// The document information a book's PDF carries for its archive: what it is, whose office printed
// it, which establishment and period it holds, the program and the job's date (local time).
#include <string>

namespace impressao {

struct TInformacoesPdf {
  std::string Titulo, Autor, Assunto, Criador;
  int Ano = 0, Mes = 0, Dia = 0, Hora = 0, Minuto = 0, Segundo = 0;  // Ano 0: no date
};

}  // namespace impressao
