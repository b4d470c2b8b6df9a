#!/usr/bin/env python3
"""Mutation testing of the C++ sources: one-line mutants, each built and put through the test suite.

Each worker owns a copy of the tracked (and new, not ignored) files under --pasta-trabalho with its
own build folder, configured and built once; a mutant rewrites one file of the copy, rebuilds only
what depends on it (the test program and livro-icms, which the tests run) and runs the test
program until its first failure, with a time limit. The repository itself is never written.
Not part of CI: a developer runs it on the files of a change (see the README).
"""

import argparse
import collections
import concurrent.futures
import hashlib
import json
import os
import random
import re
import shlex
import shutil
import signal
import subprocess
import sys
import threading
import time
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ in the tree, which the copies would carry
sys.path.insert(0, str(Path(__file__).resolve().parent))
from mutantes_operadores import mutantes_do_texto  # noqa: E402

RAIZ = Path(__file__).resolve().parent.parent
EQUIVALENTES = Path(__file__).resolve().parent / "mutantes-equivalentes.txt"
ALVO = "livro_testes"  # depends on livro-icms, which the command-line tests run
# With --desktop, a survivor of livro_testes also goes through the desktop program's Qt tests
# (keys and icons that only the desktop shows).
ALVO_DESKTOP = "livro_desktop_testes"
DESKTOP = False

# The sources the test program is built from; the desktop program's are left out, its Qt tests
# not being part of this run.
PASTAS_TESTADAS = ("host/", "apuracao/", "regimes/", "relatorio/", "forms/")
ARQUIVOS_TESTADOS = ("db/recursos.cpp", "bench/gerador.cpp")

MORTO, SOBREVIVEU, TEMPO, NAO_COMPILOU, EQUIVALENTE = "morto", "sobreviveu", "tempo esgotado", "não compilou", "equivalente"
SEM_COBERTURA = "nenhum teste executa a linha"


class Erro(Exception):
    pass


def git(*args):
    r = subprocess.run(["git", "-C", str(RAIZ), *args], capture_output=True, text=True)
    if r.returncode != 0:
        raise Erro("git " + " ".join(args) + ": " + r.stderr.strip())
    return r.stdout


def testado(rel):
    if rel.startswith("app/livro-icms/"):
        return "/" not in rel[len("app/livro-icms/"):]
    return rel.startswith(PASTAS_TESTADAS) or rel in ARQUIVOS_TESTADOS


def arquivos_escolhidos(caminhos):
    """The sources named or under the folders named, relative to the repository root. A folder
    gives its .cpp files; a header is mutated only when named, its change rebuilding every file
    that includes it."""
    conhecidos = [a for a in git("ls-files", "-z", "--cached", "--others", "--exclude-standard").split("\0")
                  if a and (RAIZ / a).is_file()]
    escolhidos = []
    for c in caminhos:
        p = Path(c).resolve()
        try:
            rel = p.relative_to(RAIZ).as_posix()
        except ValueError:
            raise Erro(f"{c}: fora do repositório {RAIZ}")
        if p.is_dir():
            prefixo = "" if rel == "." else rel + "/"
            achados = [f for f in conhecidos if f.startswith(prefixo) and f.endswith(".cpp") and testado(f)]
            if not achados:
                raise Erro(f"{c}: nenhum .cpp do programa testado nesta pasta")
            escolhidos += achados
        elif p.is_file():
            if rel not in conhecidos:
                raise Erro(f"{c}: ignorado pelo git, fora das cópias que os mutantes usam")
            if not (testado(rel) and rel.endswith((".cpp", ".h"))):
                raise Erro(f"{c}: não é uma fonte de livro_testes ou livro-icms (a área de trabalho e os testes ficam de fora)")
            escolhidos.append(rel)
        else:
            raise Erro(f"{c}: arquivo ou pasta inexistente")
    return sorted(set(escolhidos))


def linhas_mudadas(rev, arquivos):
    """Per file, the lines of the working tree that differ from revision `rev`; a file git does not
    know yet counts whole."""
    git("rev-parse", "--verify", "--quiet", rev + "^{commit}")
    novos = set(git("ls-files", "--others", "--exclude-standard", "--", *arquivos).split("\n"))
    mudadas = {}
    for a in arquivos:
        if a in novos:
            mudadas[a] = None
            continue
        linhas = set()
        for m in re.finditer(r"^@@ -\S+ \+(\d+)(?:,(\d+))? @@", git("diff", "-U0", rev, "--", a), re.M):
            inicio, quantas = int(m.group(1)), int(m.group(2) or "1")
            linhas.update(range(inicio, inicio + quantas))
        mudadas[a] = linhas
    return mudadas


def carregar_equivalentes():
    """Entries `file | line | change | reason` of the equivalents file, by file."""
    porarquivo = collections.defaultdict(list)
    if not EQUIVALENTES.exists():
        return porarquivo
    for n, texto in enumerate(EQUIVALENTES.read_text(encoding="utf-8").split("\n"), start=1):
        if not texto.strip() or texto.lstrip().startswith("#"):
            continue
        partes = texto.split(" | ")
        if len(partes) < 4 or not partes[1].strip().isdigit() or not partes[-1].strip():
            raise Erro(f"{EQUIVALENTES.name}:{n}: esperado 'arquivo | linha | mudança | razão'")
        porarquivo[partes[0].strip()].append((int(partes[1]), " | ".join(partes[2:-1]).strip()))
    return porarquivo


def mudancas_repetidas(arquivos):
    """(file, change) of the changes that read the same at more than one place of their file, with
    how many places."""
    vistas = collections.Counter((m.arquivo, m.mudanca) for a in arquivos
                                 for m in mutantes_do_texto(a, (RAIZ / a).read_text(encoding="utf-8")))
    return {k: n for k, n in vistas.items() if n > 1}


def avisar_entradas_velhas(equivalentes):
    """Entries of the equivalents file that name no mutant of today's code."""
    for arquivo, entradas in sorted(equivalentes.items()):
        caminho = RAIZ / arquivo
        existentes = ({m.mudanca for m in mutantes_do_texto(arquivo, caminho.read_text(encoding="utf-8"))}
                      if caminho.is_file() else set())
        for linha, mudanca in entradas:
            if mudanca not in existentes:
                print(f"mutantes: {EQUIVALENTES.name}: {arquivo} | {linha} | {mudanca}: já não é um mutante do código; "
                      f"apague a entrada", file=sys.stderr)


def e_equivalente(mutante, equivalentes, repetidas):
    """An entry names a mutant by its change, so that it survives edits above it. A change that
    reads the same at several places is named by as many entries, one for each place (then the
    lines need not follow the edits), or the entry's line picks its place."""
    linhas = [linha for linha, mudanca in equivalentes.get(mutante.arquivo, ()) if mudanca == mutante.mudanca]
    vezes = repetidas.get((mutante.arquivo, mutante.mudanca), 1)
    return len(linhas) >= vezes or mutante.linha in linhas


class Trabalhador:
    """A copy of the sources with its own build folder."""

    def __init__(self, pasta, tarefas, vivos):
        self.pasta = pasta
        # Ninja decides what a mutant rebuilds in a tenth of a second, make in two.
        self.ninja = shutil.which("ninja") is not None
        self.build = pasta / ("build-ninja" if self.ninja else "build")
        self.tmp = pasta / "tmp"
        self.tarefas = tarefas
        self.vivos = vivos  # processes to kill when the run is interrupted

    def sincronizar(self):
        """Copies what differs from the repository's working tree, with the current time, so
        that the next build recompiles exactly that (and any file a mutant left behind)."""
        listados = [a for a in git("ls-files", "-z", "--cached", "--others", "--exclude-standard").split("\0") if a]
        presentes = [a for a in listados if (RAIZ / a).is_file()]
        self.pasta.mkdir(parents=True, exist_ok=True)
        manifesto = self.pasta / ".arquivos"
        anteriores = set(manifesto.read_text().split("\n")) if manifesto.exists() else set()
        for a in anteriores - set(presentes):
            if a and (self.pasta / a).is_file():
                (self.pasta / a).unlink()
        for a in presentes:
            origem, destino = RAIZ / a, self.pasta / a
            if destino.is_file() and destino.read_bytes() == origem.read_bytes():
                continue
            destino.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy(origem, destino)  # with its mode, not its time
        manifesto.write_text("\n".join(presentes))

    def ambiente(self, somente_leitura):
        env = dict(os.environ)
        env.setdefault("CCACHE_BASEDIR", str(RAIZ))
        env.setdefault("CCACHE_NOHASHDIR", "1")
        if somente_leitura:
            env["CCACHE_READONLY"] = "1"  # a mutant's object is never wanted again
        env.pop("LIVRO_ATUALIZAR_GOLDEN", None)
        env["TMPDIR"] = str(self.tmp)
        return env

    def executar(self, cmd, limite=None, env=None, cwd=None):
        """(exit status or None when past the limit, output, seconds); the process and its
        children are killed at the limit."""
        inicio = time.monotonic()
        p = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env, cwd=cwd,
                             start_new_session=True)
        self.vivos.add(p)
        try:
            saida, _ = p.communicate(timeout=limite)
            return p.returncode, saida.decode(errors="replace"), time.monotonic() - inicio
        except subprocess.TimeoutExpired:
            os.killpg(p.pid, signal.SIGKILL)
            saida, _ = p.communicate()
            return None, saida.decode(errors="replace"), time.monotonic() - inicio
        finally:
            self.vivos.discard(p)

    def opcoes_de_build(self):
        """The build of the README's commands without the desktop program and the benchmarks, at
        -O1 and without debug information (a mutated file compiles in 60 % of the time it takes at
        -O2 -g, and the tests run about as fast); linked by lld when there is one."""
        return ["-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -DNDEBUG",
                "-DCMAKE_C_FLAGS_RELEASE=-O1 -DNDEBUG",
                "-DCMAKE_EXE_LINKER_FLAGS=" + ("-fuse-ld=lld" if shutil.which("ld.lld") else "")]

    def configurar(self):
        desktop = "ON" if DESKTOP and not isinstance(self, Cobertura) else "OFF"
        cmd = ["cmake", "-S", str(self.pasta), "-B", str(self.build), "-DLIVRO_ICMS_TESTS=ON",
               f"-DLIVRO_ICMS_DESKTOP={desktop}", "-DLIVRO_ICMS_BENCH=OFF", *self.opcoes_de_build()]
        if self.ninja:
            cmd += ["-G", "Ninja"]
        if shutil.which("ccache"):
            cmd += ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
        status, saida, _ = self.executar(cmd, env=self.ambiente(False))
        if status != 0:
            raise Erro(f"cmake falhou em {self.build}:\n{saida[-3000:]}")

    def construir(self, somente_leitura=True, tarefas=None, alvo=ALVO):
        return self.executar(["cmake", "--build", str(self.build), "-j", str(tarefas or self.tarefas), "--target", alvo],
                             env=self.ambiente(somente_leitura))

    def testar_desktop(self, limite):
        """The desktop program's tests on the offscreen platform: (result, the first failure)."""
        status, saida, _ = self.construir(alvo=ALVO_DESKTOP)
        if status != 0:
            return NAO_COMPILOU, ""
        shutil.rmtree(self.tmp, ignore_errors=True)
        self.tmp.mkdir(parents=True)
        env = dict(self.ambiente(True), QT_QPA_PLATFORM="offscreen")
        status, saida, _ = self.executar([str(self.build / ALVO_DESKTOP)], limite, env, cwd=self.build)
        shutil.rmtree(self.tmp, ignore_errors=True)
        if status is None:
            return TEMPO, ""
        if status == 0:
            return SOBREVIVEU, ""
        falha = re.search(r"^FAIL!\s+:\s+\S+::(\S+?)\(", saida, re.M)
        return MORTO, "desktop " + (falha.group(1) if falha else f"(saída {status})")

    def testar(self, limite, fragmentos, testes=None):
        """Runs the test program (only `testes` when named) in `fragmentos` concurrent shards,
        stopping at the first failure: (passed, past the limit, seconds, [(exit status, output)] of
        the shards)."""
        # A list names the tests; a text is a filter of its own (the suite but some).
        filtro = ["--gtest_filter=" + (testes if isinstance(testes, str) else ":".join(testes))] if testes else []
        if isinstance(testes, list) and len(testes) < fragmentos:
            fragmentos = max(1, len(testes))
        shutil.rmtree(self.tmp, ignore_errors=True)
        self.tmp.mkdir(parents=True)
        inicio = time.monotonic()
        resultados = []
        trava = threading.Lock()
        falhou = threading.Event()

        def fragmento(i):
            env = self.ambiente(True)
            env.update(GTEST_TOTAL_SHARDS=str(fragmentos), GTEST_SHARD_INDEX=str(i))
            status, saida, _ = self.executar([str(self.build / ALVO), "--gtest_brief=1", "--gtest_fail_fast", *filtro],
                                             limite, env, cwd=self.build)
            with trava:
                resultados.append((status, saida))
            if status not in (0, None):  # a shard past the limit leaves the others to theirs
                falhou.set()

        linhas = [threading.Thread(target=fragmento, args=(i,)) for i in range(fragmentos)]
        for t in linhas:
            t.start()
        while any(t.is_alive() for t in linhas):
            # One failing shard decides; the others are stopped.
            if falhou.wait(0.2):
                for p in list(self.vivos):
                    if p.args[0] == str(self.build / ALVO) and p.returncode is None:
                        try:
                            os.killpg(p.pid, signal.SIGKILL)
                        except ProcessLookupError:
                            pass
                break
        for t in linhas:
            t.join()
        shutil.rmtree(self.tmp, ignore_errors=True)
        tempo = not falhou.is_set() and any(status is None for status, _ in resultados)
        passou = all(status == 0 for status, _ in resultados)
        return passou, tempo, time.monotonic() - inicio, resultados

    def avaliar(self, mutante, limite, fragmentos, testes=None, primeiros=()):
        resultado = self.avaliar_suite(mutante, limite, fragmentos, testes, primeiros)
        if not DESKTOP or resultado[0] != SOBREVIVEU:
            return resultado
        arquivo = self.pasta / mutante.arquivo
        original = arquivo.read_bytes()
        linhas = original.decode("utf-8").split("\n")
        linhas[mutante.linha - 1] = mutante.mutada
        try:
            arquivo.write_bytes("\n".join(linhas).encode("utf-8"))
            desktop = self.testar_desktop(limite)
            return resultado if desktop[0] in (SOBREVIVEU, NAO_COMPILOU) else desktop
        finally:
            arquivo.write_bytes(original)
            os.utime(arquivo)

    def avaliar_suite(self, mutante, limite, fragmentos, testes=None, primeiros=()):
        """The mutant built and put through `testes` (every test when None; an empty list runs none,
        the line being one no test executes: only whether it compiles is asked), `primeiros` (tests
        that killed other mutants of the file) first, on their own."""
        arquivo = self.pasta / mutante.arquivo
        original = arquivo.read_bytes()
        linhas = original.decode("utf-8").split("\n")
        assert linhas[mutante.linha - 1] == mutante.original
        linhas[mutante.linha - 1] = mutante.mutada
        try:
            arquivo.write_bytes("\n".join(linhas).encode("utf-8"))
            status, saida, _ = self.construir()
            if status != 0:
                (self.pasta / "ultimo-nao-compilou.log").write_text(saida)
                return NAO_COMPILOU, ""
            if testes is not None and not testes:
                return SOBREVIVEU, SEM_COBERTURA
            if primeiros:
                passou, tempo, _, resultados = self.testar(limite, fragmentos, list(primeiros))
                if tempo:
                    return TEMPO, ""
                if not passou:
                    return MORTO, quem_matou(resultados)
                if testes is None:
                    testes = "-" + ":".join(primeiros)  # the rest of the suite
                else:
                    testes = [t for t in testes if t not in primeiros]
                if not testes:
                    return SOBREVIVEU, ""
            passou, tempo, _, resultados = self.testar(limite, fragmentos, testes)
            if passou or tempo:
                return (SOBREVIVEU if passou else TEMPO), ""
            return MORTO, quem_matou(resultados)
        finally:
            # Written back after the mutant's build, so newer than its object: the next build
            # compiles the original again.
            arquivo.write_bytes(original)
            os.utime(arquivo)


class Cobertura(Trabalhador):
    """A copy built with gcov's counters at -O0, each test run alone: for every line of the
    sources, the tests that execute it. A mutant of a line no test executes cannot be killed (it is
    only compiled); one of a line that some tests execute goes through those tests alone. A line
    gcov knows nothing of (a declaration, the middle of a statement) leaves the mutant to the whole
    suite. The map is kept in the copy for the sources and tests it was made from."""

    def opcoes_de_build(self):
        # LIVRO_COBERTURA: a process killed at a fault point, or a test's child leaving by _exit,
        # writes its counters first (impressao::SalvarCobertura), so the lines only they run count.
        return ["-DCMAKE_BUILD_TYPE=Debug", "-DCMAKE_CXX_FLAGS=--coverage -DLIVRO_COBERTURA",
                "-DCMAKE_C_FLAGS=--coverage", "-DCMAKE_EXE_LINKER_FLAGS=--coverage"]

    def impressao(self):
        """The sources and tests the map was made from: every file the build can read (scripts and
        documents apart, so that changing this tool keeps the map)."""
        h = hashlib.sha1()
        for a in sorted((self.pasta / ".arquivos").read_text().split("\n")):
            if a and not a.startswith(("scripts/", "docs/")) and not a.endswith(".md"):
                h.update(a.encode() + b"\0" + (self.pasta / a).read_bytes() + b"\0")
        return h.hexdigest()

    def testes(self):
        status, saida, _ = self.executar([str(self.build / ALVO), "--gtest_list_tests"], env=self.ambiente(False),
                                         cwd=self.build)
        if status != 0:
            raise Erro(f"{ALVO} --gtest_list_tests falhou:\n{saida[-2000:]}")
        nomes, suite = [], ""
        for linha in saida.split("\n"):
            if linha and not linha.startswith(" "):
                suite = linha.split("#")[0].strip()
            elif linha.strip():
                nomes.append(suite + linha.split("#")[0].strip())
        return nomes

    def linhas_de(self, pasta_gcda):
        """{file: {line: executed}} of the counters under `pasta_gcda` (the gcno files beside them)."""
        gcdas = [str(g) for g in pasta_gcda.rglob("*.gcda")]
        linhas = collections.defaultdict(dict)
        if not gcdas:
            return linhas
        status, saida, _ = self.executar(["gcov", "--stdout", "--json-format", *gcdas], cwd=pasta_gcda)
        if status != 0:
            raise Erro(f"gcov falhou em {pasta_gcda}:\n{saida[-2000:]}")
        decod, i = json.JSONDecoder(), 0
        while True:
            while i < len(saida) and saida[i] != "{":
                i += 1
            if i >= len(saida):
                break
            doc, i = decod.raw_decode(saida, i)
            # Paths as the compiler saw them: relative to the build folder when ccache made them so.
            compilado_em = Path(doc.get("current_working_directory") or self.build)
            for f in doc.get("files", ()):
                try:
                    rel = (compilado_em / f["file"]).resolve().relative_to(self.pasta.resolve()).as_posix()
                except ValueError:
                    continue  # a system header
                for ln in f.get("lines", ()):
                    n = ln["line_number"]
                    linhas[rel][n] = linhas[rel].get(n, False) or ln["count"] > 0
        return linhas

    def mapa(self, trabalhos, arquivos):
        """The map of the lines of `arquivos`. gcov reads only the counters of their objects (of
        every object when a header is among them: its lines are compiled into each includer), and
        a map already made for the same sources and a wider set serves."""
        self.sincronizar()
        chave = self.impressao()
        todos = any(not a.endswith(".cpp") for a in arquivos)
        arquivo = self.pasta / "mapa.json"
        if arquivo.exists():
            dados = json.loads(arquivo.read_text())
            if dados.get("chave") == chave and (dados["todos"] or (not todos and set(arquivos) <= set(dados["arquivos"]))):
                return dados
        print(f"Mapeando a cobertura de cada teste em {self.pasta} ...", file=sys.stderr, flush=True)
        objetos = {a + ".gcda" for a in arquivos}

        def do_mapa(g):
            # CMakeFiles/<target>.dir/<source>.gcda
            partes = g.relative_to(self.build).parts
            return todos or "/".join(partes[2:]) in objetos
        inicio = time.monotonic()
        self.configurar()
        status, saida, _ = self.construir(somente_leitura=False, tarefas=os.cpu_count() or 1)
        if status != 0:
            raise Erro(f"a cópia com cobertura não compila:\n{saida[-3000:]}")
        nomes = self.testes()
        contadores = self.pasta / "gcda"
        shutil.rmtree(contadores, ignore_errors=True)
        for g in self.build.rglob("*.gcda"):
            g.unlink()
        linhas = collections.defaultdict(lambda: collections.defaultdict(set))
        executaveis = collections.defaultdict(set)

        def juntar(i, pasta):
            for rel, porlinha in self.linhas_de(pasta).items():
                for n, executada in porlinha.items():
                    executaveis[rel].add(n)
                    if executada:
                        linhas[rel][n].add(i)
            shutil.rmtree(pasta, ignore_errors=True)

        with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, trabalhos)) as gcov:
            pendentes = []
            for i, nome in enumerate(nomes):
                shutil.rmtree(self.tmp, ignore_errors=True)
                self.tmp.mkdir(parents=True)
                status, saida, _ = self.executar([str(self.build / ALVO), "--gtest_brief=1", "--gtest_filter=" + nome],
                                                 env=self.ambiente(False), cwd=self.build)
                if status != 0:
                    print(f"  aviso: {nome} falha sozinho na cópia com cobertura", file=sys.stderr, flush=True)
                # The counters move to the test's own folder, beside links to their notes, before
                # the next test adds to them (the tests' own objects are not mutated).
                pasta = contadores / str(i)
                for g in self.build.rglob("*.gcda"):
                    if f"/{ALVO}.dir/" in g.as_posix() or not do_mapa(g):
                        g.unlink()
                        continue
                    destino = pasta / g.relative_to(self.build)
                    destino.parent.mkdir(parents=True, exist_ok=True)
                    g.rename(destino)
                    destino.with_suffix(".gcno").symlink_to(g.with_suffix(".gcno"))
                pendentes.append(gcov.submit(juntar, i, pasta))
                if (i + 1) % 25 == 0:
                    print(f"  {i + 1}/{len(nomes)} testes", file=sys.stderr, flush=True)
            for f in pendentes:
                f.result()
        dados = {"chave": chave, "testes": nomes, "todos": todos, "arquivos": sorted(arquivos),
                 "linhas": {rel: {str(n): sorted(linhas[rel][n]) for n in sorted(ns)} for rel, ns in executaveis.items()
                            if todos or rel in arquivos}}
        arquivo.write_text(json.dumps(dados))
        print(f"  cobertura de {len(nomes)} testes em {time.monotonic() - inicio:.0f} s", file=sys.stderr, flush=True)
        return dados


def testes_da_linha(mapa, mutante):
    """The tests that execute the mutant's line, in the order the test program runs them; None
    when gcov has no count for the line."""
    if mapa is None:
        return None
    porlinha = mapa["linhas"].get(mutante.arquivo)
    if porlinha is None or str(mutante.linha) not in porlinha:
        return None
    return [mapa["testes"][i] for i in porlinha[str(mutante.linha)]]


class Diario:
    """The results of earlier runs (diario.jsonl in the work folder), by mutant and by the text of
    its file: a killed, timed-out or uncompiled mutant of a file unchanged since is not built
    again, so a folder's full run can be spread over several sittings (a timeout is caught, and
    tests only grow). Survivors are always tried again, the tests having perhaps changed for them."""

    def __init__(self, pasta, ignorar, linhas_iguais=False):
        self.arquivo = Path(pasta) / "diario.jsonl"
        self.trava = threading.Lock()
        self.textos = {}
        self.vistos = {}
        # With linhas_iguais, a kill holds for the same mutated line at the same line number of a
        # file that changed elsewhere since (and has no result of its own for this text): tests
        # only grow, and a change away from the line seldom brings its mutant back. The line number
        # is part of it because a mutated text alone is ambiguous: every deleted statement of one
        # indentation reads "{}". A line that moved is still found by its text where that text is
        # the only one of its kind among the file's mutants: the mutated line, or for a deleted
        # statement the statement itself (journals record it from now on). --refazer and plain runs
        # keep to files unchanged.
        self.linhas_iguais = linhas_iguais
        self.mortos_por_linha = {}
        self.mortos_por_texto = {}
        self.unicos = set()
        # The tests that killed mutants of each file, and how many: tried first on its next mutants.
        self.matadores = collections.defaultdict(collections.Counter)
        if self.arquivo.exists():
            for linha in self.arquivo.read_text(encoding="utf-8").split("\n"):
                if linha.strip():
                    e = json.loads(linha)
                    if not ignorar:
                        self.vistos[tuple(e["chave"])] = (e["resultado"], e["quem"])
                        # The last result of a line or text holds: a later survivor takes back a kill.
                        por_linha = (e["chave"][0], e["chave"][1], e["chave"][2])
                        por_texto = (e["chave"][0], self.texto(e["chave"][2], e.get("original")))
                        if e["resultado"] == MORTO:
                            self.mortos_por_linha[por_linha] = self.mortos_por_texto[por_texto] = e["quem"]
                        elif e["resultado"] != NAO_COMPILOU:
                            self.mortos_por_linha.pop(por_linha, None)
                            self.mortos_por_texto.pop(por_texto, None)
                    if e["resultado"] == MORTO and e["quem"] and not e["quem"].startswith("desktop "):
                        self.matadores[e["chave"][0]][e["quem"]] += 1

    @staticmethod
    def texto(mutada, original):
        """What names a mutant apart from its line number: a deleted statement by the statement."""
        if mutada.strip() == "{}":
            return "- " + original.strip() if original else None
        return mutada

    def conhecer(self, arquivos):
        """The texts that name one mutant only of their file, those a moved line is found by."""
        vezes = collections.Counter((m.arquivo, self.texto(m.mutada, m.original)) for a in arquivos
                                    for m in mutantes_do_texto(a, (RAIZ / a).read_text(encoding="utf-8")))
        self.unicos = {k for k, n in vezes.items() if n == 1 and k[1]}

    def chave(self, m):
        if m.arquivo not in self.textos:
            self.textos[m.arquivo] = hashlib.sha1((RAIZ / m.arquivo).read_bytes()).hexdigest()
        return (m.arquivo, m.linha, m.mutada, self.textos[m.arquivo])

    def anterior(self, m):
        r = self.vistos.get(self.chave(m))
        if r:
            return r if r[0] in (MORTO, NAO_COMPILOU, TEMPO) else None
        if self.linhas_iguais and (m.arquivo, m.linha, m.mutada) in self.mortos_por_linha:
            return (MORTO, self.mortos_por_linha[(m.arquivo, m.linha, m.mutada)])
        k = (m.arquivo, self.texto(m.mutada, m.original))
        if self.linhas_iguais and k in self.unicos and k in self.mortos_por_texto:
            return (MORTO, self.mortos_por_texto[k])
        return None

    def primeiros(self, m, testes, n=3):
        """Of `testes` (None: the whole suite), the few that killed most mutants of the file."""
        with self.trava:
            contagem = self.matadores[m.arquivo]
            candidatos = [t for t, _ in contagem.most_common() if testes is None or t in testes]
        return candidatos[:n]

    def gravar(self, m, resultado, quem):
        with self.trava:
            if resultado == MORTO and quem and not quem.startswith("desktop "):
                self.matadores[m.arquivo][quem] += 1
            self.arquivo.parent.mkdir(parents=True, exist_ok=True)
            with self.arquivo.open("a", encoding="utf-8") as f:
                f.write(json.dumps({"chave": list(self.chave(m)), "resultado": resultado, "quem": quem,
                                    "original": m.original},
                                   ensure_ascii=False) + "\n")


def quem_matou(resultados):
    """The first failing test of the shards that failed, or how the program ended."""
    for status, saida in resultados:
        falha = re.search(r"^\[  FAILED  \] (\S+)", saida, re.M)
        if status not in (0, None, -signal.SIGKILL) and falha:
            return falha.group(1)
    for status, _ in resultados:
        if status is not None and status < 0 and status != -signal.SIGKILL:
            return signal.Signals(-status).name
    return "saída " + ", ".join(str(st) for st, _ in resultados if st)


def preparar(trabalhadores, fragmentos):
    """Brings every copy up to date, builds it and times the unchanged suite on the first."""
    for t in trabalhadores:
        print(f"Preparando {t.pasta} ...", file=sys.stderr, flush=True)
        t.sincronizar()
        t.configurar()
        # One copy at a time, with every core.
        status, saida, segundos = t.construir(somente_leitura=False, tarefas=os.cpu_count() or 1)
        if status != 0:
            raise Erro(f"o programa sem mutantes não compila em {t.pasta}:\n{saida[-3000:]}")
        if DESKTOP:
            status, saida, mais = t.construir(somente_leitura=False, tarefas=os.cpu_count() or 1, alvo=ALVO_DESKTOP)
            if status != 0:
                raise Erro(f"os testes do desktop sem mutantes não compilam em {t.pasta}:\n{saida[-3000:]}")
            segundos += mais
        print(f"  construído em {segundos:.0f} s", file=sys.stderr, flush=True)
    if DESKTOP and trabalhadores[0].testar_desktop(None)[0] != SOBREVIVEU:
        raise Erro(f"os testes do desktop falham sem mutantes; corrija antes ({ALVO_DESKTOP})")
    passou, _, segundos, resultados = trabalhadores[0].testar(None, fragmentos)
    if not passou:
        saida = "\n".join(s for st, s in resultados if st != 0)
        raise Erro(f"os testes falham sem mutantes; corrija antes:\n{saida[-3000:]}")
    print(f"  testes sem mutantes: {segundos:.0f} s", file=sys.stderr, flush=True)
    return segundos


def rodar(mutantes, args, listado):
    trabalhadores_n = max(1, args.trabalhadores)
    nucleos = os.cpu_count() or 1
    tarefas = max(1, nucleos // trabalhadores_n)
    fragmentos = max(1, nucleos // trabalhadores_n)
    vivos = set()
    trabalhadores = [Trabalhador(Path(args.pasta_trabalho) / f"t{i + 1}", tarefas, vivos) for i in range(trabalhadores_n)]
    resultados = {}
    diario = Diario(args.pasta_trabalho, args.refazer, args.linhas_iguais)
    diario.conhecer(sorted({m.arquivo for m in mutantes}))
    fila = []
    for m in mutantes:
        anterior = diario.anterior(m)
        if anterior:
            resultados[m.chave()] = anterior
        else:
            fila.append(m)
    if resultados:
        print(f"  {len(resultados)} mutantes mortos, com tempo esgotado ou não compilados em execuções anteriores, "
              f"de arquivos inalterados{' ou linhas iguais' if args.linhas_iguais else ''} (--refazer para construí-los de novo)",
              file=sys.stderr, flush=True)
    trava = threading.Lock()
    try:
        mapa = None
        if fila and not args.sem_cobertura and shutil.which("gcov"):
            mapa = Cobertura(Path(args.pasta_trabalho) / "cobertura", nucleos, vivos).mapa(
                nucleos, sorted({m.arquivo for m in fila}))
        base = preparar(trabalhadores, fragmentos)
        limite = args.limite_tempo or max(20.0, 3 * base)
        # About ten seconds of compiling and linking per mutant besides the tests.
        estimativa = len(fila) * (base / (3 if mapa else 1) + 5) / trabalhadores_n / 60
        print(f"  limite por execução dos testes: {limite:.0f} s; {len(fila)} mutantes, "
              f"uns {estimativa:.0f} min", file=sys.stderr, flush=True)

        def trabalhar(t):
            while True:
                with trava:
                    if not fila:
                        return
                    m = fila.pop(0)
                inicio = time.monotonic()
                try:
                    testes = testes_da_linha(mapa, m)
                    r, quem = t.avaliar(m, limite, fragmentos, testes, diario.primeiros(m, testes))
                    diario.gravar(m, r, quem)
                except (OSError, UnicodeError, AssertionError) as e:
                    print(f"mutantes: {t.pasta} parou em {m.arquivo}:{m.linha}: {e!r}", file=sys.stderr, flush=True)
                    return
                if r == SOBREVIVEU and listado(m):
                    r = EQUIVALENTE
                with trava:
                    resultados[m.chave()] = (r, quem)
                    print(f"[{len(resultados)}/{len(mutantes)}] {r}{' por ' + quem if quem else ''} "
                          f"({time.monotonic() - inicio:.0f} s)  {m.arquivo}:{m.linha}  {m.mudanca}",
                          file=sys.stderr, flush=True)

        linhas = [threading.Thread(target=trabalhar, args=(t,), daemon=True) for t in trabalhadores]
        for t in linhas:
            t.start()
        for t in linhas:
            while t.is_alive():
                t.join(0.5)
    except KeyboardInterrupt:
        with trava:
            fila.clear()
        for p in list(vivos):
            if p.returncode is not None:
                continue
            try:
                os.killpg(p.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        print("Interrompido: o relatório traz só os mutantes concluídos.", file=sys.stderr)
    return resultados


def contar(itens):
    c = collections.Counter(r for _, r in itens)
    compilados = c[MORTO] + c[SOBREVIVEU] + c[TEMPO]
    return {"mortos": c[MORTO], "sobreviventes": c[SOBREVIVEU], "tempo_esgotado": c[TEMPO],
            "nao_compilados": c[NAO_COMPILOU], "equivalentes": c[EQUIVALENTE], "compilados": compilados,
            # A mutant that makes the suite run past its limit is caught as well (the suite never ends).
            "nota": round((c[MORTO] + c[TEMPO]) / compilados, 4) if compilados else None}


def relatorio(mutantes, gerados, resultados, comando, listado):
    feitos = [(m, resultados[m.chave()][0]) for m in mutantes if m.chave() in resultados]
    porarquivo = collections.defaultdict(list)
    porpasta = collections.defaultdict(list)
    for m, r in feitos:
        porarquivo[m.arquivo].append((m, r))
        for pasta in Path(m.arquivo).parents[:-1]:  # every folder up to the top one
            porpasta[pasta.as_posix()].append((m, r))
    return {
        "comando": comando,
        "revisao": git("describe", "--always", "--dirty").strip(),
        "gerados": gerados,
        "sorteados": len(mutantes),
        "concluidos": len(feitos),
        "arquivos": {a: contar(v) for a, v in sorted(porarquivo.items())},
        "pastas": {p: contar(v) for p, v in sorted(porpasta.items())},
        "total": contar(feitos),
        "mutantes": [{"arquivo": m.arquivo, "linha": m.linha, "tipo": m.tipo, "mudanca": m.mudanca, "resultado": r,
                      "morto_por": resultados[m.chave()][1], "listado_equivalente": listado(m)} for m, r in feitos],
    }


def texto_do_relatorio(rel):
    linhas = [f"Comando: {rel['comando']}", f"Revisão: {rel['revisao']}",
              f"Mutantes: {rel['concluidos']} concluídos de {rel['sorteados']} escolhidos "
              f"({rel['gerados']} gerados)", ""]
    largura = max([len(k) for k in list(rel["arquivos"]) + list(rel["pastas"])] + [10])
    cab = f"{'':{largura}}  mortos  sobrev.  tempo  não-comp.  equiv.  nota (mortos+tempo/compilados)"

    def linha(nome, c):
        nota = f"{c['mortos'] + c['tempo_esgotado']}/{c['compilados']}" + (f" = {100 * c['nota']:.0f}%" if c["nota"] is not None else "")
        return (f"{nome:{largura}}  {c['mortos']:6}  {c['sobreviventes']:7}  {c['tempo_esgotado']:5}  "
                f"{c['nao_compilados']:9}  {c['equivalentes']:6}  {nota}")

    linhas += ["Por arquivo:", cab] + [linha(a, c) for a, c in rel["arquivos"].items()]
    linhas += ["", "Por pasta:", cab] + [linha(p + "/", c) for p, c in rel["pastas"].items()]
    linhas += [linha("total", rel["total"]), ""]
    sobreviventes = [m for m in rel["mutantes"] if m["resultado"] == SOBREVIVEU]
    if sobreviventes:
        linhas.append(f"Sobreviventes ({len(sobreviventes)}): mate-os com um teste ou, se nenhum resultado pode "
                      f"mudar, registre-os em scripts/{EQUIVALENTES.name} (linha pronta abaixo de cada um):")
    else:
        linhas.append("Sobreviventes: nenhum.")
    for m in sobreviventes:
        sem = f"  ({SEM_COBERTURA})" if m["morto_por"] == SEM_COBERTURA else ""
        linhas.append(f"  {m['arquivo']}:{m['linha']}: {m['mudanca']}{sem}")
        linhas.append(f"      {m['arquivo']} | {m['linha']} | {m['mudanca']} | <razão>")
    mortos_listados = [m for m in rel["mutantes"] if m["resultado"] == MORTO and m["listado_equivalente"]]
    if mortos_listados:
        linhas.append(f"Mortos mas listados em {EQUIVALENTES.name} (apague a entrada):")
        linhas += [f"  {m['arquivo']}:{m['linha']}: {m['mudanca']} (por {m['morto_por']})" for m in mortos_listados]
    for titulo, r in (("Tempo esgotado", TEMPO), ("Equivalentes (do arquivo)", EQUIVALENTE)):
        itens = [m for m in rel["mutantes"] if m["resultado"] == r]
        if itens:
            linhas.append(f"{titulo} ({len(itens)}):")
            linhas += [f"  {m['arquivo']}:{m['linha']}: {m['mudanca']}" for m in itens]
    return "\n".join(linhas) + "\n"


def opcoes(argv):
    p = argparse.ArgumentParser(
        prog="scripts/mutantes.py",
        description="Mutantes de uma linha das fontes C++: cada um é construído numa cópia da árvore e passa "
                    "pelos testes; o relatório diz, por arquivo e por pasta, quantos morreram.")
    p.add_argument("caminhos", nargs="*",
                   help="arquivos ou pastas (uma pasta dá seus .cpp; um .h só quando nomeado); "
                        "com --desde, o padrão é o repositório inteiro")
    p.add_argument("--desde", metavar="REV", help="só as linhas mudadas desde a revisão REV (com o que não foi commitado)")
    p.add_argument("--amostra", type=int, metavar="N", help="só N mutantes sorteados")
    p.add_argument("--semente", type=int, default=1, metavar="S", help="semente do sorteio (padrão 1)")
    p.add_argument("--limite-tempo", type=float, metavar="SEG",
                   help="limite de cada execução dos testes (padrão: 3 vezes a dos testes sem mutantes, no mínimo 20 s)")
    p.add_argument("--trabalhadores", type=int, default=1, metavar="N",
                   help="cópias construindo e testando ao mesmo tempo (padrão 1)")
    p.add_argument("--pasta-trabalho", default=str(RAIZ / "build-mutantes"), metavar="DIR",
                   help="onde ficam as cópias e suas pastas de build, reaproveitadas (padrão build-mutantes/)")
    p.add_argument("--relatorio", metavar="ARQ", help="grava o relatório também em ARQ (JSON se terminar em .json)")
    p.add_argument("--listar", action="store_true", help="só lista os mutantes, sem construir nada")
    p.add_argument("--sem-cobertura", action="store_true",
                   help="põe cada mutante pela suíte inteira, sem o mapa de que testes executam cada linha")
    p.add_argument("--linhas-iguais", action="store_true",
                   help="dá como morto também o mutante de uma linha que, com o mesmo texto, morreu numa execução "
                        "anterior, ainda que o arquivo tenha mudado em outras linhas")
    p.add_argument("--desktop", action="store_true",
                   help="põe os sobreviventes também pelos testes do programa desktop (Qt, plataforma offscreen)")
    p.add_argument("--refazer", action="store_true",
                   help="constrói de novo também os mutantes que o diário de execuções anteriores dá como mortos")
    return p.parse_args(argv)


def main(argv):
    global DESKTOP
    args = opcoes(argv)
    DESKTOP = args.desktop
    if not args.caminhos and not args.desde:
        raise Erro("diga os arquivos ou pastas, ou --desde REV")
    arquivos = arquivos_escolhidos(args.caminhos or [str(RAIZ)])
    mudadas = linhas_mudadas(args.desde, arquivos) if args.desde else {}
    if args.desde:
        arquivos = [a for a in arquivos if mudadas[a] is None or mudadas[a]]
    mutantes = []
    for a in arquivos:
        texto = (RAIZ / a).read_text(encoding="utf-8")
        mutantes += mutantes_do_texto(a, texto, mudadas.get(a))
    gerados = len(mutantes)
    if args.amostra is not None and args.amostra < len(mutantes):
        mutantes = random.Random(args.semente).sample(mutantes, args.amostra)
        mutantes.sort(key=lambda m: (m.arquivo, m.linha))
    print(f"{len(mutantes)} mutantes (de {gerados} gerados em {len(arquivos)} arquivos)", file=sys.stderr)
    equivalentes = carregar_equivalentes()
    avisar_entradas_velhas(equivalentes)
    repetidas = mudancas_repetidas({m.arquivo for m in mutantes})
    listado = lambda m: e_equivalente(m, equivalentes, repetidas)  # noqa: E731
    if args.listar:
        for m in mutantes:
            print(f"{m.arquivo}:{m.linha}: [{m.tipo}] {m.mudanca}" + ("  (equivalente)" if listado(m) else ""))
        return 0
    if not mutantes:
        return 0
    resultados = rodar(mutantes, args, listado)
    rel = relatorio(mutantes, gerados, resultados, shlex.join(["python3", "scripts/mutantes.py"] + argv), listado)
    texto = texto_do_relatorio(rel)
    print(texto, end="")
    if args.relatorio:
        Path(args.relatorio).write_text(json.dumps(rel, ensure_ascii=False, indent=1) if args.relatorio.endswith(".json")
                                        else texto, encoding="utf-8")
    return 1 if rel["total"]["sobreviventes"] else 0


if __name__ == "__main__":
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)  # `--listar | head`
    try:
        sys.exit(main(sys.argv[1:]))
    except Erro as e:
        print(f"mutantes: {e}", file=sys.stderr)
        sys.exit(2)
