# The stub (yex/__init__.pyi) against the package it describes: every public
# name in both, and each function's parameters, their kinds and defaults the
# same, so that a signature changed in one place is caught.
import ast
import inspect

import yex
from conftest import ROOT


def stub_functions():
    tree = ast.parse((ROOT / "python" / "yex" / "__init__.pyi").read_text(encoding="utf-8"))
    functions, classes = {}, {}  # TypedDicts aside: types, which the package may name or not
    stub_functions.names = {n.name for n in tree.body if isinstance(n, (ast.FunctionDef, ast.ClassDef))}
    for node in tree.body:
        if isinstance(node, ast.FunctionDef):
            functions.setdefault(node.name, []).append(node)
        elif isinstance(node, ast.ClassDef) and not any(getattr(b, "id", "") == "TypedDict" for b in node.bases):
            classes[node.name] = {n.name: n for n in node.body if isinstance(n, ast.FunctionDef)}
    return functions, classes


NONE = "no default"


def default(node):
    """A stub's default as its value; `...` (an overload's "some default") as Ellipsis."""
    return NONE if node is None else ast.literal_eval(node) if not isinstance(node, ast.Constant) or node.value is not ... else ...


def parameters(node):
    """(name, kind, default) of a stub's def, as inspect names them."""
    a = node.args
    defaults = [None] * (len(a.args) - len(a.defaults)) + a.defaults
    out = [(p.arg, inspect.Parameter.POSITIONAL_OR_KEYWORD, default(d)) for p, d in zip(a.args, defaults)]
    return out + [(p.arg, inspect.Parameter.KEYWORD_ONLY, default(d)) for p, d in zip(a.kwonlyargs, a.kw_defaults)]


def matches(stub, function):
    """The stub's parameters those of the function, a `...` default standing for any."""
    got = [(p.name, p.kind, NONE if p.default is inspect.Parameter.empty else p.default)
           for p in inspect.signature(function).parameters.values()]
    return len(stub) == len(got) and all(s[:2] == g[:2] and (s[2] == g[2] or (s[2] is ... and g[2] != NONE))
                                         for s, g in zip(stub, got))


def test_the_stub_states_the_package():
    functions, classes = stub_functions()
    public = set(yex.__all__) - {"__version__"}
    assert public <= stub_functions.names
    assert public >= {n for n in functions if not n.startswith("_")} | {n for n in classes if not n.startswith("_")}
    for name, overloads in functions.items():
        for node in overloads:
            assert matches(parameters(node), getattr(yex, name)), name
    for method in ("__init__", "lookup", "save"):
        for node in [classes["Table"][method]]:
            assert matches(parameters(node), getattr(yex.Table, method)), method
    assert all(isinstance(getattr(yex.Table, p), property) for p in ("name", "source", "x", "f", "s"))


def split_top(text):
    """`text` split at the commas outside brackets."""
    parts, depth, start = [], 0, 0
    for i, c in enumerate(text):
        depth += c in "[(" and 1 or -(c in "])")
        if c == "," and depth == 0:
            parts.append(text[start:i].strip())
            start = i + 1
    return [p for p in parts + [text[start:].strip()] if p]


def stated(function):
    """(name, type, keyword-only, default) of each parameter in the extension's own signature."""
    head = function.__doc__.split("\n", 1)[0]
    out, keyword = [], False
    for p in split_top(head[head.index("(") + 1:head.rindex(") ->")]):
        if p == "*":
            keyword = True
            continue
        name, _, rest = p.partition(": ")
        kind, _, value = rest.partition(" = ")
        if name != "self":
            out.append((name, kind, keyword, value or None))
    return out


def annotated(function):
    """The same of a function of the package, as it annotates them."""
    return [(p.name, p.annotation.replace('"', "").replace("'", ""), p.kind is inspect.Parameter.KEYWORD_ONLY,
             None if p.default is inspect.Parameter.empty else repr(p.default))
            for p in inspect.signature(function).parameters.values() if p.name != "self"]


def test_the_extension_states_the_types_the_package_annotates():
    functions = [n for n in yex.__all__ if inspect.isfunction(getattr(yex, n))]
    pairs = [(getattr(yex, n), getattr(yex._yex, n)) for n in functions]
    pairs += [(getattr(yex.Table, m), getattr(yex, "_table_" + m.strip("_"))) for m in ("__init__", "lookup", "save")]
    assert len(pairs) == 25
    for wrapper, extension in pairs:
        assert stated(extension) == annotated(wrapper), wrapper.__name__
