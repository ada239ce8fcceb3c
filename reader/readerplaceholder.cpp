// The reader library's sources are listed by its parts (reader/*.cmake).
