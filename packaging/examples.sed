# help2man fills the examples into one paragraph: keep one command a line.
/^\.SH EXAMPLES/,/^\.PP/{
s/^\.IP$/.IP\n.nf/
s/^\.PP$/.fi\n.PP/
}
