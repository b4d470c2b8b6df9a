#pragma once
// The user's side of a run: messages, questions and the auxiliary-data dialogs. One interface,
// three implementations: the terminal (questions on a TTY), the scripted one (answers file, batch
// runs and tests) and the desktop program.
#include <exception>
#include <string>
#include <vector>

enum class TTipoMensagem { Aviso = 0, Erro = 1, Informacao = 2, Confirmacao = 3 };

// Standard buttons, in their standard order, and the modal results they give.
enum class TBotao { Ok, Cancelar, Sim, Nao, NaoParaTodos, SimParaTodos };
inline constexpr int mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7, mrNoToAll = 9, mrYesToAll = 10;
int ResultadoModal(TBotao b);

// The silent abort: the user cancelled a question that stops the whole run. The run catches it
// and reports "aborted by the user"; nothing else is shown.
class EAbortarSilencioso : public std::exception {
 public:
  const char* what() const noexcept override { return "Operação cancelada pelo usuário."; }
};

// Kinds of the fields of an auxiliary-data dialog (how a text is read back: host/interacao/formpadraoresult.h).
enum class TTipoCampo { Moeda, Inteiro, Data, Texto };

// A field of an auxiliary-data dialog: caption, and value as text (in and out). A field that is
// not enabled is shown but cannot be changed.
struct TCampoDialogo {
  std::string Nome;
  std::string Legenda;
  std::string Valor;
  bool Habilitado = true;
  TTipoCampo Tipo = TTipoCampo::Texto;
};

// Keys that press the confirm button of a dialog when pressed in its last enabled field. Enter
// always does (in the other fields it moves on); each dialog says whether Escape or Down-arrow
// does too, since in a dialog that does not claim Escape it cancels.
struct TTeclasConfirmacao {
  bool Escape = false;
  bool SetaAbaixo = false;
};

class TInteracao {
 public:
  virtual ~TInteracao() = default;
  virtual void ExibirMensagem(const std::string& texto, TTipoMensagem tipo) = 0;
  // Buttons with their captions (captions in the same order as `botoes`); returns the modal
  // result of the chosen button.
  virtual int ExibirMensagemPersonalizada(const std::string& texto, TTipoMensagem tipo,
                                          const std::vector<TBotao>& botoes, TBotao padrao,
                                          const std::string& titulo,
                                          const std::vector<std::string>& legendas) = 0;
  // Yes/no question; returns true for yes.
  virtual bool PerguntarSimNao(const std::string& texto, const std::string& titulo, bool padraoSim) = 0;
  // Auxiliary-data dialog: returns false when cancelled (fields then keep their input values).
  virtual bool EditarDados(const std::string& titulo, std::vector<TCampoDialogo>& campos,
                           TTeclasConfirmacao teclas = {}) = 0;
};
