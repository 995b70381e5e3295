// The UNO runtime is bootstrapped once per process and never torn down (tearing it down at exit
// races its bridge threads), so under LeakSanitizer its allocations, those of the libraries it
// loads, and the interface types that the generated headers create once per process, are not
// this program's leaks.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libuno_cppu.so\n"
         "leak:libuno_cppuhelpergcc3.so\n"
         "leak:libuno_sal.so\n"
         "leak:libuno_salhelpergcc3.so\n"
         "leak:libbinaryurplo.so\n"
         "leak:libunoidllo.so\n"
         "leak:libreglo.so\n"
         "leak:libstorelo.so\n"
         "leak:libbootstraplo.so\n"
         "leak:libgcc3_uno.so\n"
         "leak:libconnectorlo.so\n"
         "leak:cppu_detail_getUnoType\n";
}
