// The plug-in library's exports (filled in with the server module).
