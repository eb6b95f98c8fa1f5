// fontconfig keeps a few blocks from parsing its configuration files unreachable for the
// rest of the process; that is the library's, not a leak of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
