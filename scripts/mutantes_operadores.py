"""One-line mutants of a C++ source: where they go and what each changes.

The sources are formatted with a space on each side of every binary operator, and with none
inside template brackets, around `->` or after a unary minus; the operators below rely on that to
tell `a < b` from `std::vector<int>` and `x - 1` from `-1` without parsing C++. Comments, string
and character literals and preprocessor lines are masked out first, so nothing inside them moves.
"""

import dataclasses
import re

LITERAL = "\x01"  # stands for every character of a string or character literal in the mask


@dataclasses.dataclass
class Mutante:
    arquivo: str  # path relative to the repository root
    linha: int  # 1-based
    tipo: str
    original: str  # the whole line, as in the file
    mutada: str  # the whole line after the change
    mudanca: str  # the change in a few words of context, the key of the equivalents file

    def chave(self):
        return (self.arquivo, self.linha, self.mutada)


def mascarar(texto):
    """Lines of `texto` with comments blanked and literals replaced by LITERAL; None for the
    lines of preprocessor directives."""
    saida = []
    em_comentario = False
    fim_raw = None  # the closing `)delim"` of a raw string still open
    continuacao_pp = False
    for linha in texto.split("\n"):
        diretiva = continuacao_pp or (not em_comentario and fim_raw is None and linha.lstrip().startswith("#"))
        continuacao_pp = diretiva and linha.endswith("\\")
        m = list(linha)
        i, n = 0, len(linha)

        def pintar(ini, fim, c):
            for k in range(ini, fim):
                m[k] = c

        while i < n:
            if em_comentario:
                j = linha.find("*/", i)
                fim = n if j < 0 else j + 2
                pintar(i, fim, " ")
                em_comentario = j < 0
                i = fim
                continue
            if fim_raw is not None:
                j = linha.find(fim_raw, i)
                fim = n if j < 0 else j + len(fim_raw)
                pintar(i, fim, LITERAL)
                if j >= 0:
                    fim_raw = None
                i = fim
                continue
            if linha.startswith("//", i):
                pintar(i, n, " ")
                break
            if linha.startswith("/*", i):
                pintar(i, i + 2, " ")
                em_comentario = True
                i += 2
                continue
            raw = _RAW.match(linha, i)
            if raw and re.search(r"(^|[^\w])(u8|u|U|L)?$", linha[:i]):
                fim_raw = ")" + raw.group(1) + '"'
                pintar(i, raw.end(), LITERAL)
                i = raw.end()
                continue
            c = linha[i]
            separador_de_digitos = c == "'" and i > 0 and linha[i - 1].isalnum() and i + 1 < n and linha[i + 1].isalnum()
            if c in "\"'" and not separador_de_digitos:
                j = i + 1
                while j < n and linha[j] != c:
                    j += 2 if linha[j] == "\\" else 1
                fim = min(j + 1, n)
                pintar(i, fim, LITERAL)
                i = fim
                continue
            i += 1
        saida.append(None if diretiva else "".join(m))
    return saida


def _espacado(op):
    return re.compile(r"(?<=\s)" + re.escape(op) + r"(?=\s)")


# Binary operators written with a space on each side, and what each becomes.
_TROCAS = [
    ("aritmetico", "+", "-"), ("aritmetico", "-", "+"), ("aritmetico", "*", "/"), ("aritmetico", "/", "*"),
    ("aritmetico", "%", "*"),
    ("aritmetico", "+=", "-="), ("aritmetico", "-=", "+="), ("aritmetico", "*=", "/="), ("aritmetico", "/=", "*="),
    ("comparacao", "<", "<="), ("comparacao", "<=", "<"), ("comparacao", ">", ">="), ("comparacao", ">=", ">"),
    ("comparacao", "==", "!="), ("comparacao", "!=", "=="),
    ("logico", "&&", "||"), ("logico", "||", "&&"),
]
_TROCAS = [(tipo, _espacado(de), para) for tipo, de, para in _TROCAS]

_RAW = re.compile(r'R"([^()\\ ]{0,16})\(')
_INTEIRO = re.compile(r"(?<![\w.'" + LITERAL + r"])\d+(?![\w.'" + LITERAL + r"])")
_BOOLEANO = re.compile(r"\b(true|false)\b")
_SE = re.compile(r"\bif\s*\(")
_DECLARACAO_NA_CONDICAO = re.compile(r"^\s*(const\s+)?[\w:<>,]+[&*]*\s+[&*]*\w+\s*(=|\{)")
_DECLARACAO_DE_VETOR = re.compile(r"^\s*((static|const|constexpr|inline)\s+)*[\w:<>,]+[*&]*\s+[A-Za-z_]\w*\s*\[\s*$")
_TEXTOS = re.compile(r"\b(std::string|std::to_string|to_string|std::string_view)\s*[(){]")
_CAMINHO_DE_CHAMADA = re.compile(r"^(::)?[A-Za-z_]\w*((::|\.|->)~?[A-Za-z_]\w*)*(<[\w:, <>*&]*>)?$")
# Statements that call something but are not a plain call whose effect a test should see.
_NAO_CHAMADAS = {"return", "throw", "co_return", "co_yield", "co_await", "delete", "goto", "case", "default",
                 "using", "typedef", "static_assert", "assert", "break", "continue", "else", "if", "for",
                 "while", "do", "switch", "new", "sizeof", "template", "friend", "operator"}


def _vizinho(mask, i, passo):
    """The first character of `mask` from `i` on (in the direction of `passo`) that is not blank."""
    while 0 <= i < len(mask) and mask[i].isspace():
        i += passo
    return mask[i] if 0 <= i < len(mask) else ""


def _fechamento(mask, abre):
    """Index of the parenthesis closing the one at `abre`, or -1 when it closes on another line."""
    nivel = 0
    for k in range(abre, len(mask)):
        if mask[k] == "(":
            nivel += 1
        elif mask[k] == ")":
            nivel -= 1
            if nivel == 0:
                return k
    return -1


def _fora_de_parenteses(mask, c):
    """Whether `c` occurs in `mask` outside every parenthesis."""
    nivel = 0
    for x in mask:
        nivel += (x == "(") - (x == ")")
        if x == c and nivel == 0:
            return True
    return False


def _contexto(linha, ini, fim, largura=30, linha_curta=72):
    """The span [ini, fim) of `linha` with up to `largura` characters either side, cut at spaces;
    a short line whole."""
    recuo = len(linha) - len(linha.lstrip())
    if len(linha.strip()) <= linha_curta:
        return recuo, len(linha.rstrip())
    a = max(recuo, ini - largura)
    if a > recuo:
        espaco = linha.find(" ", a, ini)
        a = espaco + 1 if espaco >= 0 else ini
    b = min(len(linha.rstrip()), fim + largura)
    if b < len(linha.rstrip()):
        espaco = linha.rfind(" ", fim, b)
        b = espaco if espaco >= 0 else fim
    return a, b


def _troca(arquivo, numero, linha, mask, tipo, ini, fim, novo):
    mutada = linha[:ini] + novo + linha[fim:]
    a, b = _contexto(linha[:len(mask.rstrip())], ini, fim)  # a comment that follows is no part of it
    antes = linha[a:b]
    depois = linha[a:ini] + novo + linha[fim:b]
    return Mutante(arquivo, numero, tipo, linha, mutada, antes.strip() + " => " + depois.strip())


def _operandos(mask, ini, fim):
    """The text of the expression around the operator at [ini, fim) at its own parenthesis level,
    what is inside nested parentheses left out: up to the enclosing parenthesis, a comma, `;`,
    `?`, `:` or an assignment."""
    def ate(k, passo, abre, fecha):
        nivel, texto = 0, []
        while 0 <= k < len(mask):
            c = mask[k]
            if c in fecha:
                if nivel == 0:
                    break
                nivel -= 1
            elif c in abre:
                nivel += 1
            elif nivel == 0 and (c in ",;?" or (c == ":" and ":" not in (mask[k - 1:k], mask[k + 1:k + 2])) or
                                 (c == "=" and mask[k - 1:k] not in ("=", "<", ">", "!") and mask[k + 1:k + 2] != "=")):
                break
            if nivel == 0 or (c in abre and nivel == 1) or (c in fecha and nivel == 0):
                texto.append(c)
            k += passo
        return "".join(texto[::passo])
    return ate(ini - 1, -1, ")]}", "([{") + mask[ini:fim] + ate(fim, 1, "([{", ")]}")


def _escolha_de_textos(mask, ini, fim):
    """Whether an operand next to [ini, fim) is a parenthesised choice of literals
    (`(c ? "" : ",")`)."""
    esquerda = mask[:ini].rstrip()
    if esquerda.endswith(")"):
        nivel = 0
        for k in range(len(esquerda) - 1, -1, -1):
            nivel += (esquerda[k] == ")") - (esquerda[k] == "(")
            if nivel == 0:
                grupo = esquerda[k:]
                if "?" in grupo and LITERAL in grupo[grupo.index("?"):]:
                    return True
                break
    direita = mask[fim:].lstrip()
    if direita.startswith("("):
        k = _fechamento(direita, 0)
        grupo = direita[:k + 1] if k >= 0 else direita
        return "?" in grupo and LITERAL in grupo[grupo.index("?"):]
    return False


def _operadores(arquivo, numero, linha, mask):
    for tipo, padrao, novo in _TROCAS:
        for m in padrao.finditer(mask):
            # `"texto " + s` joins strings; a minus there only fails to compile.
            if m.group() in ("+", "+=") and (LITERAL in _operandos(mask, m.start(), m.end()) or
                                             _TEXTOS.search(_operandos(mask, m.start(), m.end())) or
                                             _escolha_de_textos(mask, m.start(), m.end())):
                continue
            if m.group() == "-" and LITERAL in (_vizinho(mask, m.start() - 1, -1), _vizinho(mask, m.end(), 1)):
                continue
            yield _troca(arquivo, numero, linha, mask, tipo, m.start(), m.end(), novo)


def _constantes(arquivo, numero, linha, mask):
    for m in _INTEIRO.finditer(mask):
        if _DECLARACAO_DE_VETOR.match(mask[:m.start()]) and mask[m.end():].lstrip().startswith("]"):
            continue  # a buffer's size: one more changes no result
        # 0 and 1 swap; a larger bound moves up by one.
        n = int(m.group())
        novo = 1 if n == 0 else 0 if n == 1 else n + 1
        yield _troca(arquivo, numero, linha, mask, "constante", m.start(), m.end(), str(novo))
    for m in _BOOLEANO.finditer(mask):
        novo = "false" if m.group() == "true" else "true"
        yield _troca(arquivo, numero, linha, mask, "constante", m.start(), m.end(), novo)


def _negacoes(arquivo, numero, linha, mask):
    for m in _SE.finditer(mask):
        abre = m.end() - 1
        fecha = _fechamento(mask, abre)
        if fecha < 0:
            continue
        condicao = mask[abre + 1:fecha]
        if _fora_de_parenteses(condicao, ";") or _DECLARACAO_NA_CONDICAO.match(condicao) or not condicao.strip():
            continue
        nao = len(condicao) - len(condicao.lstrip()) + abre + 1
        if mask[nao] == "!" and not re.search(r"\s", _operandos(mask, nao + 1, nao + 1)):
            mutada = linha[:nao] + linha[nao + 1:]  # `if (!ok)` becomes `if (ok)`
        else:
            mutada = linha[:abre + 1] + "!(" + linha[abre + 1:fecha] + ")" + linha[fecha:]
        original = linha[m.start():fecha + 1]
        negada = mutada[m.start():fecha + 1 + len(mutada) - len(linha)]
        yield Mutante(arquivo, numero, "negacao", linha, mutada, original + " => " + negada)


def _e_chamada(s):
    """Whether the masked statement `s` is a plain call (`a.b(x);`, `ns::f(x).g();`)."""
    if not s.endswith(");") or s[0] in "{}" or s.count("{") != s.count("}") or s.count("(") != s.count(")"):
        return False
    primeira = re.match(r"[A-Za-z_]\w*", s)
    if not primeira or primeira.group() in _NAO_CHAMADAS:
        return False
    # A declaration (`std::string r(x);`), an assignment or an expression has more before its
    # first parenthesis than a name; `a(); b();` is two statements.
    return bool(_CAMINHO_DE_CHAMADA.match(s[:s.find("(")])) and not _fora_de_parenteses(s[:-1], ";")


def _remocoes(arquivo, numero, linha, mask, anterior):
    """The call statement of the line becomes an empty block: a whole line, or the statement
    after `if (...)` or `else` on the same line. A line that continues the previous one's
    expression (`const bool ok =` above it) is no statement."""
    if not re.search(r"([;{})]|\belse|:)$", anterior.rstrip()):
        return
    ini = len(mask) - len(mask.lstrip())
    controle = re.match(r"(\}\s*)?(else\s+)?if\s*\(", mask[ini:])
    if controle:
        fecha = _fechamento(mask, ini + controle.end() - 1)
        if fecha < 0:
            return
        ini = fecha + 1
    else:
        senao = re.match(r"(\}\s*)?else\s+", mask[ini:])
        if senao:
            ini += senao.end()
    while ini < len(mask) and mask[ini].isspace():
        ini += 1
    fim = len(mask.rstrip())
    if ini < fim and _e_chamada(mask[ini:fim]):
        yield _troca(arquivo, numero, linha, mask, "remocao", ini, fim, "{}")


def mutantes_do_texto(arquivo, texto, linhas=None):
    """Every mutant of `texto` (the contents of `arquivo`), only on `linhas` when given; a line
    whose change gives the same text as another's counts once."""
    vistos = set()
    anterior = "{"  # the last line with code before this one
    for numero, (linha, mask) in enumerate(zip(texto.split("\n"), mascarar(texto)), start=1):
        if mask is None or not mask.strip():
            continue
        if linhas is not None and numero not in linhas:
            anterior = mask
            continue
        geradores = (_operadores(arquivo, numero, linha, mask), _constantes(arquivo, numero, linha, mask),
                     _negacoes(arquivo, numero, linha, mask), _remocoes(arquivo, numero, linha, mask, anterior))
        anterior = mask
        for gerador in geradores:
            for mutante in gerador:
                if mutante.mutada != linha and mutante.chave() not in vistos:
                    vistos.add(mutante.chave())
                    yield mutante
