int corvexPlaceholder() { return 0; }
