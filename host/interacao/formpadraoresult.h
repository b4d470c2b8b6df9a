#pragma once
// The host's standard confirm/cancel dialog (TQDFormRavelPadraoResult) on which the regimes build
// their auxiliary-data dialogs: a caption and typed fields in tab order. ShowModal hands the fields
// to the run's interaction (terminal, answers file or desktop) as texts and reads the answers back
// by kind; a text that is not a value of its kind is an error naming the dialog, the field and
// the text, and leaves the fields as they were.
//
// Texts: money as shown with the display ",0.00;" (1.234,56; read back also as 1234.56), whole
// numbers as digits with an optional minus, dates as dd/mm/aaaa, texts as typed.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/base/datas.h"
#include "host/base/moeda.h"
#include "host/interacao/interacao.h"

class EDadosDialogo : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One edit of a dialog: the value of its kind, whether the user may change it and whether it is
// shown at all (with its label): a hidden field is not handed to the interaction and keeps its value.
struct TCampoEdicao {
  std::string Nome;     // the control's name (edtFaturamento)
  std::string Legenda;  // its label
  TTipoCampo Tipo = TTipoCampo::Texto;
  bool Enabled = true;
  bool Visible = true;
  Currency Valor;       // Moeda
  int64_t Inteiro = 0;  // Inteiro
  TDateTime Data = 0;   // Data
  std::string Texto;    // Texto

  // The value as the edit shows it.
  std::string Text() const;
  // Reads a text of the field's kind; false when it is not one.
  bool LerTexto(const std::string& t);
};

class TQDFormRavelPadraoResult {
 public:
  explicit TQDFormRavelPadraoResult(std::string caption) : Caption(std::move(caption)) {}
  virtual ~TQDFormRavelPadraoResult() = default;
  TQDFormRavelPadraoResult(const TQDFormRavelPadraoResult&) = delete;
  TQDFormRavelPadraoResult& operator=(const TQDFormRavelPadraoResult&) = delete;

  // mrOk when confirmed, mrCancel when cancelled (the fields then keep their values).
  int ShowModal();

  const std::vector<std::unique_ptr<TCampoEdicao>>& Campos() const { return FCampos; }
  std::string Caption;
  // What besides Enter confirms the dialog from its last enabled field.
  TTeclasConfirmacao TeclasConfirmacao;

 protected:
  TCampoEdicao& Adicionar(std::string nome, std::string legenda, TTipoCampo tipo);

 private:
  std::vector<std::unique_ptr<TCampoEdicao>> FCampos;
};

// Points a summary's reference to its dialog at the dialog while it is shown, and clears the
// reference on every way out (confirmed, cancelled or an error).
template <class TDialogo>
class TDialogoAberto {
 public:
  TDialogoAberto(TDialogo*& referencia, TDialogo& dialogo) : referencia_(referencia) { referencia_ = &dialogo; }
  ~TDialogoAberto() { referencia_ = nullptr; }
  TDialogoAberto(const TDialogoAberto&) = delete;
  TDialogoAberto& operator=(const TDialogoAberto&) = delete;

 private:
  TDialogo*& referencia_;
};
