// The floor of a console program's start: a program that does nothing at all.
int main()
{
    return 0;
}
