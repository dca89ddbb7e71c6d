#pragma once

#include "platform/db/SqlAst.h"

// The dialect's single-row functions that both targets provide as functions of their own, by the
// name the tree gives them: how many arguments they take, as what, and the type of their result.
namespace tipdesk::db::sql {

struct LibraryFunction {
    const char *name; // Oracle's name; "TRIM FROM", "TRUNC DATE" … for a form the generator picks
    int minArgs;
    int maxArgs;
    // One letter per argument, the last one repeating: n a number, t a text, d a date, f converted
    // to the first argument's type, x as it stands.
    const char *args;
    char result;          // n, t, d, f (the first argument's type), b (a condition)
    const char *embedded; // the embedded engine's function
    const char *server;   // the PostgreSQL server's: one of tipdesk_ora, or the server's own
};

// The function of that name taking that many arguments, or null.
const LibraryFunction *libraryFunction(const QString &upperName, size_t argCount);
// The function of that name, whatever its arguments, or null.
const LibraryFunction *libraryFunctionNamed(const QString &upperName);
Type libraryResultType(const LibraryFunction &f, const Expr &call);
// The kind letter of argument i.
char libraryArgKind(const LibraryFunction &f, size_t i);

} // namespace tipdesk::db::sql
