// A program file that carries another version block, for the version-reading tests.
int main()
{
    return 0;
}
