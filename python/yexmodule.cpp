// The Python module `yex`: tables, lookups on NumPy arrays, compounds and
// mixtures, cross sections and composition averages, dispersion,
// attenuation, edges, lines, materials and optics, over the very code of
// the windows and yex-cli. One file an area; this one makes the module.
#include "python/module.h"

using namespace yex;
using namespace yex::python;

// The extension `yex._yex` of the package `yex` (python/yex/__init__.py),
// in the .deb and the pip package alike.
#ifndef YEX_PYTHON_MODULE
#define YEX_PYTHON_MODULE _yex
#endif

PYBIND11_MODULE(YEX_PYTHON_MODULE, m) {
  m.doc() = "The extension module of the package yex; help(yex) tells how to use it.";
  m.attr("__version__") = YEX_VERSION;
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const Error& e) {
      const std::string hint = e.kind() == ErrorKind::Exists ? "; pass overwrite=True to replace it" : "";
      PyErr_SetString(ExceptionFor(e.kind()), (e.what() + hint).c_str());
    }
  });
  DefineTables(m);
  DefineScattering(m);
  DefineDispersion(m);
  DefineOptics(m);
}
